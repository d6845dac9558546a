// The Hypertext Server Configuration dialog: whether the built-in HTTP server
// runs, its TCP port, and how many connections it has accepted. The settings
// change only when the dialog ends with OK; Defaults fills the controls only.
#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quivera {

class UiServices;

class CWebServerDialog : public QDialog {
  Q_OBJECT

 public:
  // Messages go through 'ui' (not owned; it must outlive the dialog); with
  // nullptr the dialog shows its own message boxes. The access count shown is
  // the one at the moment the dialog is made.
  explicit CWebServerDialog(QWidget* parent = nullptr, UiServices* ui = nullptr);
  ~CWebServerDialog() override;

  QCheckBox* enableBox() const { return enable_box_; }
  QLineEdit* portEdit() const { return port_edit_; }
  QLabel* accessCountLabel() const { return access_count_; }
  QPushButton* okButton() const { return ok_button_; }
  QPushButton* defaultsButton() const { return defaults_button_; }
  QPushButton* cancelButton() const { return cancel_button_; }

 private slots:
  // Checks the port text; on a refusal shows its message once and puts the
  // focus back on the port box, else stores both values and closes with OK.
  void OnOk();
  // Puts the server's defaults (enabled, port 80) into the controls.
  void OnDefaults();

 private:
  std::unique_ptr<UiServices> own_ui_;
  UiServices* ui_ = nullptr;
  QCheckBox* enable_box_ = nullptr;
  QLineEdit* port_edit_ = nullptr;
  QLabel* access_count_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* defaults_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
};

}  // namespace quivera
