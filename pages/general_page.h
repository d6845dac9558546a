// The General page: the adapter as the network driver sees it. Six frame
// statistics relative to baselines the user can reset, the receive filter in
// force (check boxes that only display it), and the adapter's device name,
// vendor description and firmware revision. Nothing on it is settable.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "pages/general_page_logic.h"
#include "pages/page_support.h"
#include "pages/property_page.h"

class QCheckBox;
class QLabel;

namespace quivera {

class AdapterList;

class CGeneralPage : public PropertyPage {
  Q_OBJECT

 public:
  explicit CGeneralPage(AdapterList& adapters, QWidget* parent = nullptr);

  // Reads every value from the current adapter. A read that fails leaves its
  // field and its stored text as they were. 'reload' does not matter (nothing
  // here is editable); 'show' = 0 updates only the texts kept for printing.
  void Refresh(int reload, int show) override;
  // Prints the stored texts on one sheet (the 'part' is ignored).
  void Print(PrintSurface& surface, int part) override;
  // Moves each statistic's baseline by the count its field shows, then
  // refreshes in full: every statistic then counts from this moment.
  void ClearCounters() override;

  // The controls, for tests.
  QLabel* statisticField(int row) const;
  QCheckBox* filterBox(int row) const;
  QLabel* deviceNameField() const { return device_name_field_; }
  QLabel* hardwareDescriptionField() const { return vendor_field_; }
  QLabel* firmwareVersionField() const { return firmware_field_; }

 private slots:
  // Undoes a click on a receive filter box: the box shows the filter again.
  void OnFilterClicked(int row, bool checked);

 private:
  void ShowFilterFlags();

  AdapterList& adapters_;

  // Data: baselines, what the statistic fields show, the filter flags, and
  // the texts of the last refresh (printed).
  std::array<uint32_t, kGeneralStatistics> baselines_{};
  std::array<uint32_t, kGeneralStatistics> shown_{};
  ReceiveFilterFlags filter_flags_{};
  std::string device_name_;
  std::string vendor_description_;
  std::string firmware_revision_;
  std::array<std::string, kGeneralStatistics> statistic_texts_;
  std::vector<std::string> filter_texts_;
  ShownAdapter shown_adapter_;

  std::array<QLabel*, kGeneralStatistics> statistic_fields_{};
  std::array<QCheckBox*, kReceiveFilterBoxes> filter_boxes_{};
  QLabel* device_name_field_ = nullptr;
  QLabel* vendor_field_ = nullptr;
  QLabel* firmware_field_ = nullptr;
};

}  // namespace quivera
