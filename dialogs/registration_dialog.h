// The product registration card: one box per detail of the user, the adapter
// and the computer, and the choice of the region whose return address the
// printed card carries. The fields come from the settings when the dialog
// opens and go back to them on OK or Print (written to the file at exit).
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "present/registration_card.h"
#include "settings/registration_fields.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace quivera {

class CRegistrationDialog : public QDialog {
  Q_OBJECT

 public:
  // 'print' prints the card from the settings; an empty one greys Print.
  // The adapter model and serial number boxes, when the settings leave them
  // empty, start with what 'adapter' says (the current adapter's identity).
  explicit CRegistrationDialog(QWidget* parent = nullptr, std::function<void()> print = {},
                               const AdapterIdentity& adapter = {});

  // The box of a text field (nullptr for kReturnAddress, which is regionBox).
  QLineEdit* fieldEdit(RegistrationField field) const;
  QComboBox* regionBox() const { return region_box_; }
  QPushButton* okButton() const { return ok_button_; }
  QPushButton* printButton() const { return print_button_; }
  QPushButton* cancelButton() const { return cancel_button_; }

  // Puts the boxes' contents into the settings.
  void StoreFields();

 private slots:
  void OnOk();
  void OnPrint();

 private:
  static constexpr size_t kTextFields = static_cast<size_t>(RegistrationField::kReturnAddress);

  std::function<void()> print_;
  std::array<QLineEdit*, kTextFields> edits_{};
  QComboBox* region_box_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* print_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
};

}  // namespace quivera
