// The Preferences dialog: the refresh rate and four display and safety
// choices. It fills its controls from the process-wide settings when it is
// made and writes them back only when it ends with OK; Cancel (or Cancel in
// the refresh-rate warning) leaves every setting as it was.
#pragma once

#include <QDialog>
#include <memory>

#include "dialogs/preferences_logic.h"

class QButtonGroup;
class QDialogButtonBox;
class QLineEdit;

namespace quivera {

class UiServices;

class CPreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  // Messages go through 'ui' (not owned; it must outlive the dialog); with
  // nullptr the dialog shows its own message boxes.
  explicit CPreferencesDialog(QWidget* parent = nullptr, UiServices* ui = nullptr);
  ~CPreferencesDialog() override;

  // The controls, for tests and for keyboard focus order.
  QLineEdit* refreshRateEdit() const { return refresh_edit_; }
  // The pair of one setting: TranslateAddr, MGTSetOperations,
  // PhysicalAddrFormat, SNMPLabels; button ids 0 (first) and 1 (second).
  QButtonGroup* addressTranslationGroup() const { return translate_group_; }
  QButtonGroup* setOperationsGroup() const { return set_operations_group_; }
  QButtonGroup* physicalAddrFormatGroup() const { return address_format_group_; }
  QButtonGroup* snmpLabelsGroup() const { return snmp_labels_group_; }
  QDialogButtonBox* buttonBox() const { return buttons_; }

 private slots:
  // OK: checks the refresh rate, stores the choices and closes with OK; on a
  // refused rate shows the warning and either stays open (OK) or closes as
  // cancelled with nothing stored (Cancel).
  void OnOk();

 private:
  UiServices& ui() { return *ui_; }

  std::unique_ptr<UiServices> own_ui_;
  UiServices* ui_ = nullptr;
  QLineEdit* refresh_edit_ = nullptr;
  QButtonGroup* translate_group_ = nullptr;
  QButtonGroup* set_operations_group_ = nullptr;
  QButtonGroup* address_format_group_ = nullptr;
  QButtonGroup* snmp_labels_group_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace quivera
