// The message boxes of the windowed program: caption, icon, buttons, and the
// answer the button pressed gives.
#include "dialogs/qt_ui_services.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
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

TEST(QtUiServicesTest, FileDialogsOfferTheirFiltersAndFindAnyLetterCase) {
  QTemporaryDir dir;
  QFile image(dir.filePath(QStringLiteral("fwsc310.fwi")));
  ASSERT_TRUE(image.open(QIODevice::WriteOnly));
  image.close();
  QtUiServices ui;

  QStringList filters;
  bool lower_case_shown = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    filters = dialog->nameFilters();
    lower_case_shown = !(dialog->filter() & QDir::CaseSensitive);
    dialog->selectFile(image.fileName());
    static_cast<QDialog*>(dialog)->accept();
  });
  std::string path;
  ASSERT_TRUE(ui.OpenFileName({"Open", {{"KORAP (FWSC*.FWI)", "FWSC*.FWI"}}, ""}, &path));
  EXPECT_EQ(QString::fromStdString(path), image.fileName());
  EXPECT_EQ(filters, QStringList{QStringLiteral("KORAP (FWSC*.FWI)")});
  EXPECT_TRUE(lower_case_shown);

  QString suffix;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    dialog->selectFile(dir.filePath(QStringLiteral("export")));
    static_cast<QDialog*>(dialog)->accept();
  });
  ASSERT_TRUE(ui.SaveFileName(
      {"Save As", {{"Exported Error Logs", "*.FWD"}, {"All Files", "*.*"}}, "FWD"}, &path));
  EXPECT_EQ(filters, (QStringList{QStringLiteral("Exported Error Logs (*.FWD)"),
                                  QStringLiteral("All Files (*)")}));
  EXPECT_EQ(suffix, "FWD");
  EXPECT_EQ(QString::fromStdString(path), dir.filePath(QStringLiteral("export.FWD")));
}

TEST(QtUiServicesTest, WaitKeepsTheEventLoopRunning) {
  QtUiServices ui;
  int fired = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
  timer.start(10);
  QElapsedTimer clock;
  clock.start();
  ui.Wait(120);
  EXPECT_GE(clock.elapsed(), 110);
  EXPECT_GE(fired, 3);
  ui.Wait(-5);  // returns at once
}

TEST(QtUiServicesTest, ProgressWindowIsNotModalAndShowsTextAndPosition) {
  QWidget main_window;
  main_window.setGeometry(300, 200, 800, 600);
  main_window.show();
  QtUiServices ui(&main_window);
  // The calls run no events of their own: a timer that opened a modal
  // dialog inside one would hold a download's progress until it closed.
  bool timer_ran = false;
  QTimer::singleShot(0, &main_window, [&] { timer_ran = true; });
  ui.ProgressBegin("Firmware Upgrade Process");
  ui.ProgressText("Formatting firmware image...\n");
  ui.ProgressStep(42);
  EXPECT_FALSE(timer_ran);
  QWidget* window = ui.ProgressWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->windowTitle(), "Firmware Upgrade Process");
  EXPECT_EQ(window->findChild<QLabel*>()->text(), "Formatting firmware image...");
  EXPECT_EQ(window->findChild<QProgressBar*>()->value(), 42);
  EXPECT_TRUE(main_window.isEnabled());
  // Centred on the main window.
  const QPoint offset = window->frameGeometry().center() - main_window.frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
  ui.ProgressEnd();
  EXPECT_EQ(ui.ProgressWindow(), nullptr);
}

}  // namespace
}  // namespace quivera
