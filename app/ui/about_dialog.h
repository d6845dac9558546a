// The about box: the application icon, the program's name and version, a
// legal notice and the build number; one OK button.
#pragma once

#include <QDialog>

class QLineEdit;

namespace quivera {

// The build number the about box shows.
inline constexpr int kBuildNumber = 44;

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  // The build field's text (filled when the box opens).
  QString BuildText() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* build_ = nullptr;
};

}  // namespace quivera
