// The registration card dialog.
#include "dialogs/registration_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/ui_text.h"
#include "present/registration_card.h"

namespace quivera {

namespace {
// As long as a line of the printed card can show.
constexpr int kFieldLength = 60;
}  // namespace

CRegistrationDialog::CRegistrationDialog(QWidget* parent, std::function<void()> print,
                                         const AdapterIdentity& adapter)
    : QDialog(parent), print_(std::move(print)) {
  setObjectName(QStringLiteral("RegistrationDialog"));
  setWindowTitle(QStringLiteral("Registration Card"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Please fill in the card, print it and mail it to the address of your "
                     "region."),
      this));
  auto* form = new QFormLayout();
  const Settings& settings = AppSettings();
  for (const RegistrationFieldDef& def : RegistrationFields()) {
    const QString label = QStringLiteral("%1:").arg(QString::fromLatin1(def.label));
    if (def.field == RegistrationField::kReturnAddress) {
      region_box_ = new QComboBox(this);
      region_box_->setObjectName(QString::fromLatin1(def.key));
      for (const ReturnRegion& region : ReturnRegions()) {
        region_box_->addItem(QString::fromLatin1(region.name));
      }
      region_box_->setCurrentIndex(
          RegistrationRegion(settings, static_cast<int>(ReturnRegions().size())));
      form->addRow(label, region_box_);
      continue;
    }
    std::string value = RegistrationValue(settings, def.field);
    if (value.empty() && def.field == RegistrationField::kAdapterModel) value = adapter.model;
    if (value.empty() && def.field == RegistrationField::kAdapterSerial) value = adapter.serial;
    auto* edit = new QLineEdit(ToQString(value.substr(0, kFieldLength)), this);
    edit->setObjectName(QString::fromLatin1(def.key));
    edit->setMaxLength(kFieldLength);
    edit->setMinimumWidth(320);
    edits_[static_cast<size_t>(def.field)] = edit;
    form->addRow(label, edit);
  }
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(this);
  ok_button_ = buttons->addButton(QDialogButtonBox::Ok);
  print_button_ = buttons->addButton(QStringLiteral("&Print"), QDialogButtonBox::ActionRole);
  cancel_button_ = buttons->addButton(QDialogButtonBox::Cancel);
  print_button_->setEnabled(static_cast<bool>(print_));
  layout->addWidget(buttons);
  connect(ok_button_, &QPushButton::clicked, this, &CRegistrationDialog::OnOk);
  connect(print_button_, &QPushButton::clicked, this, &CRegistrationDialog::OnPrint);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* CRegistrationDialog::fieldEdit(RegistrationField field) const {
  const auto slot = static_cast<size_t>(field);
  return slot < edits_.size() ? edits_[slot] : nullptr;
}

void CRegistrationDialog::StoreFields() {
  Settings& settings = AppSettings();
  for (const RegistrationFieldDef& def : RegistrationFields()) {
    if (def.field == RegistrationField::kReturnAddress) {
      SetRegistrationValue(settings, def.field, std::to_string(region_box_->currentIndex()));
    } else {
      SetRegistrationValue(settings, def.field, FromQString(fieldEdit(def.field)->text()));
    }
  }
}

void CRegistrationDialog::OnOk() {
  StoreFields();
  accept();
}

void CRegistrationDialog::OnPrint() {
  StoreFields();
  if (print_) print_();
}

}  // namespace quivera
