// The Hypertext Server Configuration dialog: controls, Defaults and the OK
// check of the port box.
#include "dialogs/web_server_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/settings.h"
#include "dialogs/qt_ui_services.h"
#include "present/ui_services.h"
#include "dialogs/preferences_logic.h"
#include "web/server_counters.h"

namespace quivera {

namespace {

// The caption of the program's own messages.
constexpr const char* kProgramCaption = kMessageCaption;

}  // namespace

CWebServerDialog::CWebServerDialog(QWidget* parent, UiServices* ui) : QDialog(parent) {
  if (ui == nullptr) {
    own_ui_ = std::make_unique<QtUiServices>(this);
    ui = own_ui_.get();
  }
  ui_ = ui;
  setWindowTitle(QStringLiteral("Hypertext Server Configuration"));

  const Settings& settings = AppSettings();
  enable_box_ = new QCheckBox(QStringLiteral("Enable Hypertext Server"), this);
  enable_box_->setChecked(WebServerEnabled(settings));

  auto* port_label = new QLabel(QStringLiteral("TCP/IP Port ID "), this);
  port_edit_ = new QLineEdit(QString::number(settings.WebPortID.load()), this);
  port_edit_->setObjectName(QStringLiteral("webPort"));
  port_label->setBuddy(port_edit_);

  // Taken once: the count does not move while the dialog is open.
  auto* count_label = new QLabel(QStringLiteral("Server Access Count"), this);
  access_count_ = new QLabel(QString::number(ServerAccessCount.load()), this);
  access_count_->setObjectName(QStringLiteral("accessCount"));
  access_count_->setFrameShape(QFrame::StyledPanel);
  access_count_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* fields = new QGridLayout;
  fields->addWidget(enable_box_, 0, 0, 1, 2);
  fields->addWidget(port_label, 1, 0);
  fields->addWidget(port_edit_, 1, 1);
  fields->addWidget(count_label, 2, 0);
  fields->addWidget(access_count_, 2, 1);

  ok_button_ = new QPushButton(QStringLiteral("OK"), this);
  defaults_button_ = new QPushButton(QStringLiteral("Defaults"), this);
  cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_button_->setDefault(true);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok_button_);
  buttons->addWidget(defaults_button_);
  buttons->addWidget(cancel_button_);
  buttons->addStretch(1);
  connect(ok_button_, &QPushButton::clicked, this, &CWebServerDialog::OnOk);
  connect(defaults_button_, &QPushButton::clicked, this, &CWebServerDialog::OnDefaults);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

CWebServerDialog::~CWebServerDialog() = default;

void CWebServerDialog::OnOk() {
  int port = 0;
  const PortVerdict verdict = CheckPortText(port_edit_->text().toStdString(), &port);
  if (verdict != PortVerdict::kAccepted) {
    ui_->Message(PortVerdictMessage(verdict), kProgramCaption, MessageButtons::Ok,
                 MessageIcon::Exclamation);
    port_edit_->setFocus();
    port_edit_->selectAll();
    return;
  }
  Settings& settings = AppSettings();
  settings.WebPortID.store(port);
  settings.WebServerEnable.store(enable_box_->isChecked() ? 1 : 0);
  accept();
}

void CWebServerDialog::OnDefaults() {
  enable_box_->setChecked(true);
  port_edit_->setText(QString::number(kDefaultWebPort));
}

}  // namespace quivera
