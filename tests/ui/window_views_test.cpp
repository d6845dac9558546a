// The running program's window, tab by tab, over the three simulated
// adapters of test mode and over an emulated two-port station, and its
// printed sheets.
// With QUIVERA_SCREENSHOT_DIR set, the pictures and PDF files are kept there
// for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>

#include "settings/settings.h"
#include "app/ui/about_dialog.h"
#include "app/ui/help_window.h"
#include "app/ui/main_frame.h"
#include "app/ui/qvf_view.h"
#include "app/ui/windowed_app.h"
#include "dialogs/preferences_dialog.h"
#include "dialogs/web_server_dialog.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "tests/app/scripted_ui_services.h"

namespace quivera {
namespace {

class WindowViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    const QByteArray keep = qgetenv("QUIVERA_SCREENSHOT_DIR");
    out_ = keep.isEmpty() ? temp_.path() : QString::fromLocal8Bit(keep);
    QDir().mkpath(out_);
  }
  void TearDown() override { ResetSettings(); }

  QString Out(const QString& name) const { return QDir(out_).filePath(name); }

  QTemporaryDir temp_;
  QString out_;
};

QString FileName(QString title) { return title.toLower().replace(' ', '_'); }

TEST_F(WindowViewsTest, EveryTabDrawsItsOwnPage) {
  ScriptedUiServices ui;
  WindowedApp app(
      ui, temp_.filePath("quivera.ini").toStdString(), true,
      [](const std::string&) { return std::unique_ptr<DriverChannel>(); }, [] { return true; });
  ASSERT_TRUE(app.Start());
  CQVFView& view = *app.View();
  QSet<QByteArray> seen;
  for (int index = 0; index < view.Sheet()->count(); ++index) {
    const QString title = view.Sheet()->tabText(index);
    SCOPED_TRACE(title.toStdString());
    view.ActivatePage(index);
    view.OnMainTimer();
    QApplication::processEvents();
    const QImage picture = app.Frame()->grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), app.Frame()->size());
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes()),
        QCryptographicHash::Sha1);
    EXPECT_FALSE(seen.contains(digest));  // a different page shows on every tab
    seen.insert(digest);
    picture.save(Out(QStringLiteral("tab_%1.png").arg(FileName(title))));
  }
  EXPECT_TRUE(app.Exit().ok);
}

TEST_F(WindowViewsTest, PageSheetsPrintToPdf) {
  ScriptedUiServices ui;
  WindowedApp app(
      ui, temp_.filePath("quivera.ini").toStdString(), true,
      [](const std::string&) { return std::unique_ptr<DriverChannel>(); }, [] { return true; });
  ASSERT_TRUE(app.Start());
  // A few seconds of the running program, so that the counters have moved.
  for (int tick = 0; tick < 3; ++tick) app.View()->OnMainTimer();
  for (const auto& [sheet, name] :
       {std::pair{1, QStringLiteral("general")}, std::pair{2, QStringLiteral("smt")},
        std::pair{3, QStringLiteral("mac")}, std::pair{4, QStringLiteral("mac_counters")},
        std::pair{5, QStringLiteral("path")}}) {
    SCOPED_TRACE(sheet);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = Out(QStringLiteral("print_%1.pdf").arg(name));
    printer.setOutputFileName(path);
    ASSERT_TRUE(app.View()->PrintSheets(printer, sheet, sheet));
    EXPECT_GT(QFileInfo(path).size(), 0);
  }
  EXPECT_TRUE(app.Exit().ok);
}

// The driver of a live two-port station with the emulator's default content
// behind "\Device\korap1" only.
ChannelOpener TwoPortStationOpener() {
  return [](const std::string& device_path) -> std::unique_ptr<DriverChannel> {
    if (device_path != "\\Device\\korap1") return nullptr;
    auto station = std::make_shared<Station>();
    LoadDefaultStation(*station, "korap1");
    return std::make_unique<EmulatorChannel>(station);
  };
}

// Printer pages in a PDF file written by Qt.
int PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(file.readAll().count("/Type /Page\n"));
}

TEST_F(WindowViewsTest, TwoPortStationShowsBothPortPagesAndPrintsEverySheet) {
  ScriptedUiServices ui;
  WindowedApp app(ui, temp_.filePath("quivera.ini").toStdString(), false, TwoPortStationOpener(),
                  [] { return true; });
  ASSERT_TRUE(app.Start());
  CQVFView& view = *app.View();
  ASSERT_EQ(view.Sheet()->count(), 9);
  for (int index : {kSmtSheet, kMacSheet, kPathSheet, kFlashSheet, kPort0Sheet, kPort1Sheet}) {
    const QString title = view.Sheet()->tabText(index);
    SCOPED_TRACE(title.toStdString());
    view.ActivatePage(index);
    for (int tick = 0; tick < 2; ++tick) view.OnMainTimer();
    QApplication::processEvents();
    const QImage picture = app.Frame()->grab().toImage();
    ASSERT_FALSE(picture.isNull());
    picture.save(Out(QStringLiteral("station_%1.png").arg(FileName(title))));
  }

  // The whole job: five page sheets, five flash sheets and both Port pages.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString all = Out(QStringLiteral("print_all.pdf"));
  printer.setOutputFileName(all);
  ASSERT_TRUE(view.PrintSheets(printer, 1, 12));
  EXPECT_EQ(PdfPages(all), 12);
  for (const auto& [sheet, name] :
       {std::pair{6, QStringLiteral("flash_6")}, std::pair{7, QStringLiteral("flash_7")},
        std::pair{11, QStringLiteral("port_0")}, std::pair{12, QStringLiteral("port_1")}}) {
    SCOPED_TRACE(sheet);
    QPrinter one(QPrinter::HighResolution);
    one.setOutputFormat(QPrinter::PdfFormat);
    const QString path = Out(QStringLiteral("print_%1.pdf").arg(name));
    one.setOutputFileName(path);
    ASSERT_TRUE(view.PrintSheets(one, sheet, sheet));
    EXPECT_EQ(PdfPages(path), 1);
  }
  EXPECT_TRUE(app.Exit().ok);
}

TEST_F(WindowViewsTest, HelpWindowAndAboutBoxDraw) {
  ScriptedUiServices ui;
  CMainFrame frame(ui);
  frame.OnHelpContents();
  QApplication::processEvents();
  const QImage help = frame.Help()->grab().toImage();
  EXPECT_FALSE(help.isNull());
  help.save(Out(QStringLiteral("help_contents.png")));
  frame.Help()->close();

  CAboutDlg about(&frame);
  about.show();
  QApplication::processEvents();
  EXPECT_EQ(about.BuildText(), "44");
  const QImage box = about.grab().toImage();
  EXPECT_FALSE(box.isNull());
  box.save(Out(QStringLiteral("about.png")));
}

TEST_F(WindowViewsTest, PreferenceDialogsDraw) {
  CPreferencesDialog preferences(nullptr);
  CWebServerDialog server(nullptr);
  for (const auto& [dialog, name] : {std::pair<QDialog*, QString>{&preferences, "preferences"},
                                     std::pair<QDialog*, QString>{&server, "web_server"}}) {
    dialog->show();
    QApplication::processEvents();
    const QImage picture = dialog->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(Out(QStringLiteral("dialog_%1.png").arg(name)));
    dialog->hide();
  }
}

}  // namespace
}  // namespace quivera
