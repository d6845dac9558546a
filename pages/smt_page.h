// The SMT page: the station-level SMT objects of the current adapter and the
// one place where the operator edits the station's connection policy. The
// policy grid has a check box per pair of local and neighbour port types
// (checked = the connection is legal); "&Set" writes the edited grid,
// "&Cancel" drops the edit, "&Default" writes the station default. The
// three buttons stay greyed while "MGTSetOperations" forbids sets, though
// the grid can still be edited on screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pages/page_sets.h"
#include "pages/page_support.h"
#include "pages/property_page.h"
#include "present/connection_policy.h"
#include "present/label_pairs.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace quivera {

class AdapterList;
class UiServices;

class CSMTPage : public PropertyPage {
  Q_OBJECT

 public:
  // 'ui' (may be null: the page then opens its own message boxes) tells the
  // operator of a refused set; it must outlive the page.
  explicit CSMTPage(AdapterList& adapters, QWidget* parent = nullptr, UiServices* ui = nullptr);
  ~CSMTPage() override;

  // Reads the available paths, the connection policy and the SMT states.
  // 'reload' = 1 (activation, adapter switch, after a remote set) also puts
  // the adapter's policy on the grid, dropping an unsaved edit, and greys
  // "&Set" and "&Cancel"; a periodic refresh leaves the edit alone. A read
  // that fails keeps what was there (nothing, after a switch from another
  // adapter).
  void Refresh(int reload, int show) override;
  // Prints the policy grid, the available paths and the SMT states.
  void Print(PrintSurface& surface, int part) override;
  // Nothing on this page counts.
  void ClearCounters() override {}

  // The policy last read from or written to the adapter, and the grid's.
  uint32_t currentPolicy() const { return current_policy_; }
  uint32_t pendingPolicy() const { return pending_policy_; }

  // The controls, for tests. Cells are indexed as PolicyPairs().
  QCheckBox* policyCell(size_t cell) const;
  QCheckBox* pathBox(int row) const;
  QPushButton* setButton() const { return set_button_; }
  QPushButton* cancelButton() const { return cancel_button_; }
  QPushButton* defaultButton() const { return default_button_; }
  // The caption shown now for 'label' (a box title or a row caption).
  QString captionText(SmtLabel label) const;
  QGroupBox* policyGroup() const { return policy_group_; }
  QGroupBox* pathsGroup() const { return paths_group_; }
  QLabel* bypassField() const { return bypass_field_; }
  QLabel* ecmField() const { return ecm_field_; }
  QLabel* cfField() const { return cf_field_; }
  QLabel* versionField() const { return version_field_; }

 private slots:
  void OnCellClicked(size_t cell);
  void OnPathClicked(int row, bool checked);
  void OnSet();
  void OnCancel();
  void OnDefault();

 private:
  void ApplyCaptions(int snmp_labels);
  void ShowGrid(uint32_t policy);
  void DisableSetAndCancel();
  SetButtons Buttons() const;
  // True (after recording the refusal and greying the buttons) when the
  // guard forbids writing 'policy'.
  bool RefusedByGuard(uint32_t policy);
  // "fddimibSMTConnectionPolicy=32771" as the change record names a write.
  static std::string PolicyChange(uint32_t policy);
  // Writes 'policy' (replacing 'old_policy'); a refusal is told and the
  // adapter's policy comes back.
  void WritePolicy(uint32_t policy, uint32_t old_policy);
  // The adapter's policy becomes current and pending and fills the grid.
  void ReloadPolicy();

  AdapterList& adapters_;
  std::unique_ptr<UiServices> own_ui_;
  UiServices& ui_;

  uint32_t current_policy_ = 0;
  uint32_t pending_policy_ = 0;
  std::array<bool, 3> path_flags_{};
  // Texts of the last refresh, printed.
  std::vector<std::string> path_texts_;
  std::string bypass_text_;
  std::string ecm_text_;
  std::string cf_text_;
  int applied_labels_ = 0;
  ShownAdapter shown_adapter_;

  std::array<QCheckBox*, kPolicyCells> cells_{};
  std::array<QCheckBox*, 3> path_boxes_{};
  QPushButton* set_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* default_button_ = nullptr;
  QGroupBox* policy_group_ = nullptr;
  QGroupBox* paths_group_ = nullptr;
  // Captions of the value rows: Op Version Id, Bypass Present, ECM State,
  // CF State, User Data.
  std::array<QLabel*, 5> row_captions_{};
  QLabel* version_field_ = nullptr;
  QLabel* bypass_field_ = nullptr;
  QLabel* ecm_field_ = nullptr;
  QLabel* cf_field_ = nullptr;
  QLabel* user_data_field_ = nullptr;
};

}  // namespace quivera
