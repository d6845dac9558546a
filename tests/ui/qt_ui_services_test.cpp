// The message boxes of the windowed program: caption, icon, buttons, and the
// answer the button pressed gives.
#include "dialogs/qt_ui_services.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace quivera {
namespace {

TEST(QtUiServicesTest, MessageBoxesShowTheirTextsAndAnswerTheButtonPressed) {
  struct Case {
    MessageButtons buttons;
    MessageIcon icon;
    QMessageBox::StandardButton press;  // NoButton: closed with Escape
    QMessageBox::Icon shown_icon;
    MessageAnswer answer;
  };
  const Case cases[] = {
      {MessageButtons::Ok, MessageIcon::Stop, QMessageBox::Ok, QMessageBox::Critical,
       MessageAnswer::Ok},
      {MessageButtons::YesNo, MessageIcon::Exclamation, QMessageBox::Yes, QMessageBox::Warning,
       MessageAnswer::Yes},
      {MessageButtons::YesNo, MessageIcon::Exclamation, QMessageBox::NoButton, QMessageBox::Warning,
       MessageAnswer::No},
      {MessageButtons::OkCancel, MessageIcon::Information, QMessageBox::Cancel,
       QMessageBox::Information, MessageAnswer::Cancel},
  };
  QtUiServices ui;
  for (const Case& c : cases) {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      caption = box->windowTitle();
      text = box->text();
      icon = box->icon();
      if (c.press == QMessageBox::NoButton) {
        box->reject();
      } else {
        box->button(c.press)->click();
      }
    });
    EXPECT_EQ(ui.Message("Reset adapter. Are you sure?", "QUIVERA/FDDI", c.buttons, c.icon),
              c.answer);
    EXPECT_EQ(caption, "QUIVERA/FDDI");
    EXPECT_EQ(text, "Reset adapter. Are you sure?");
    EXPECT_EQ(icon, c.shown_icon);
  }
}

}  // namespace
}  // namespace quivera
