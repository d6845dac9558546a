// The Preferences dialog: controls, opening values and the OK rule.
#include "dialogs/preferences_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/settings.h"
#include "dialogs/qt_ui_services.h"
#include "present/ui_services.h"

namespace quivera {

namespace {

// A group box holding one radio-button pair; the pair's button ids are the
// positions the setting stores (first 0, second 1).
QGroupBox* MakePair(const QString& title, const QString& first, const QString& second, int chosen,
                    QButtonGroup** group, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  *group = new QButtonGroup(box);
  const QString texts[] = {first, second};
  for (int position = 0; position < 2; ++position) {
    auto* button = new QRadioButton(texts[position], box);
    layout->addWidget(button);
    (*group)->addButton(button, position);
  }
  (*group)->button(chosen != 0 ? 1 : 0)->setChecked(true);
  return box;
}

}  // namespace

CPreferencesDialog::CPreferencesDialog(QWidget* parent, UiServices* ui) : QDialog(parent) {
  if (ui == nullptr) {
    own_ui_ = std::make_unique<QtUiServices>(this);
    ui = own_ui_.get();
  }
  ui_ = ui;
  setWindowTitle(QStringLiteral("Preferences"));

  const PreferenceChoices choices = PreferencesFromSettings(AppSettings());

  auto* rate_line = new QHBoxLayout;
  auto* rate_label = new QLabel(QStringLiteral("Display Refresh Rate (seconds)"), this);
  refresh_edit_ = new QLineEdit(QString::number(choices.refresh_rate), this);
  refresh_edit_->setObjectName(QStringLiteral("refreshRate"));
  refresh_edit_->setMaximumWidth(refresh_edit_->fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                                 8);
  rate_label->setBuddy(refresh_edit_);
  rate_line->addWidget(rate_label);
  rate_line->addWidget(refresh_edit_);
  rate_line->addStretch(1);

  const QString enable = QStringLiteral("Enable");
  const QString disable = QStringLiteral("Disable");
  auto* pairs = new QGridLayout;
  pairs->addWidget(MakePair(QStringLiteral("Address Translation"), enable, disable,
                            choices.translate_addr, &translate_group_, this),
                   0, 0);
  pairs->addWidget(MakePair(QStringLiteral("Set Operations"), enable, disable,
                            choices.mgt_set_operations, &set_operations_group_, this),
                   0, 1);
  pairs->addWidget(
      MakePair(QStringLiteral("Physical Addr Format"), QStringLiteral("Canonical"),
               QStringLiteral("MSB"), choices.physical_addr_format, &address_format_group_, this),
      1, 0);
  pairs->addWidget(MakePair(QStringLiteral("SNMP Labels"), enable, disable, choices.snmp_labels,
                            &snmp_labels_group_, this),
                   1, 1);

  // OK and Cancel keep these texts whatever the platform's button style.
  buttons_ = new QDialogButtonBox(this);
  QPushButton* ok = buttons_->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons_->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons_, &QDialogButtonBox::accepted, this, &CPreferencesDialog::OnOk);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(rate_line);
  layout->addLayout(pairs);
  layout->addWidget(buttons_, 0, Qt::AlignRight);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

CPreferencesDialog::~CPreferencesDialog() = default;

void CPreferencesDialog::OnOk() {
  PreferenceChoices choices;
  choices.refresh_rate = TextToInt(refresh_edit_->text().toStdString());
  if (!RefreshRateAccepted(choices.refresh_rate)) {
    const MessageAnswer answer = ui().Message(kRefreshRateWarning, kRefreshRateCaption,
                                              MessageButtons::OkCancel, MessageIcon::Exclamation);
    if (answer == MessageAnswer::Ok) {
      // Stay open with the text as entered, so that it can be corrected.
      refresh_edit_->setFocus();
      refresh_edit_->selectAll();
      return;
    }
    reject();
    return;
  }
  choices.translate_addr = translate_group_->checkedId();
  choices.mgt_set_operations = set_operations_group_->checkedId();
  choices.physical_addr_format = address_format_group_->checkedId();
  choices.snmp_labels = snmp_labels_group_->checkedId();
  StorePreferences(choices, AppSettings());
  accept();
}

}  // namespace quivera
