// The flash and registration commands in the window: the window stays alive
// during a firmware download (its timer ticks, the hypertext server answers)
// while the commands that would disturb the download are refused; the
// registration card dialog keeps its fields and prints the card.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QStatusBar>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "adapter/driver_adapter.h"
#include "app/ui/main_frame.h"
#include "app/ui/qvf_view.h"
#include "dialogs/qt_ui_services.h"
#include "dialogs/registration_dialog.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "flash/firmware_upgrade.h"
#include "flash/srecord_image.h"
#include "settings/registration_fields.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "ui_test_doubles.h"
#include "web/http_test_client.h"

namespace quivera {
namespace {

using testing::Connect;
using testing::Exchange;
using testing::FreePort;
using testing::ReadResult;
using testing::WaitUntil;

// The window's own progress window, with the questions and file choices
// answered from a script and the progress positions counted.
class ScriptedQtUi : public QtUiServices {
 public:
  std::deque<MessageAnswer> answers;
  std::string file;
  std::vector<std::string> texts;
  int steps = 0;

  MessageAnswer Message(const std::string& text, const std::string&, MessageButtons buttons,
                        MessageIcon) override {
    texts.push_back(text);
    if (answers.empty()) return SafeAnswer(buttons);
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OpenFileName(const FileChoice&, std::string* path) override {
    *path = file;
    return !file.empty();
  }
  bool SaveFileName(const FileChoice& choice, std::string* path) override {
    return OpenFileName(choice, path);
  }
  void ProgressStep(int percent) override {
    ++steps;
    QtUiServices::ProgressStep(percent);
  }
};

class FlashCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }

  // Builds the frame and view over an emulated KORAP station.
  void Build() {
    station_ = std::make_shared<Station>();
    LoadDefaultStation(*station_, "korap1");
    frame_ = std::make_unique<CMainFrame>(ui_);
    ui_.SetMainWindow(frame_.get());
    view_ = new CQVFView(*frame_, ui_, true,
                         [](AdapterList&, int index) { return new RecordingPage(index); });
    frame_->SetView(view_);
    auto channel = std::make_unique<EmulatorChannel>(station_);
    ASSERT_TRUE(view_->Create([&](AdapterList& list) {
      list.Add(
          std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
      return true;
    }));
    frame_->SelectAdapter(1);
    frame_->show();
  }

  ScriptedQtUi ui_;
  std::shared_ptr<Station> station_;
  std::unique_ptr<CMainFrame> frame_;
  CQVFView* view_ = nullptr;
  TempDir dir_;
};

TEST_F(FlashCommandsTest, WindowStaysAliveDuringADownload) {
  const int port = FreePort();
  AppSettings().WebPortID = port;
  AppSettings().WebServerEnable = 1;
  AppSettings().ClearFlash = 1;
  Build();
  ASSERT_NE(frame_->Action(FrameCommand::kClearFlash), nullptr);
  view_->OnInitialUpdate();
  ASSERT_TRUE(WaitUntil([&] { return Connect(port, std::chrono::milliseconds(100)).valid(); }));

  // An image the size of the whole area, written in S3 records.
  std::string text;
  for (size_t address = 0; address < kFirmwareImageArea; address += 32) {
    unsigned sum = 0x25 + 32 * 0xAA;
    for (int shift = 0; shift < 32; shift += 8) sum += (address >> shift) & 0xFF;
    char line[80];
    std::snprintf(line, sizeof line, "S325%08zX", address);
    char checksum[4];
    std::snprintf(checksum, sizeof checksum, "%02X", ~sum & 0xFF);
    text += line + std::string(64, 'A') + checksum + "\n";
  }
  const std::string path = dir_.Path("FWSC320.FWI");
  ASSERT_TRUE(WriteFile(path, text));
  ui_.file = path;
  ui_.answers = {MessageAnswer::Yes};

  // The download's own clock, twenty times faster: 0.72 s of pauses, which
  // leaves a loaded machine room to end well before the dialog closes.
  frame_->SetDownloadPause([](int ms) { SleepPause(ms / 20); });
  AppSettings().MGTSetOperations = 0;

  std::atomic<int> ticks{0};
  QObject::connect(&view_->MainTimer(), &QTimer::timeout, [&] { ++ticks; });
  int ticks_at_start = 0;
  bool refused_while_running = true;
  bool progress_beside_window = false;
  bool close_put_off = false;
  bool ended_while_dialog_open = false;
  bool done_in_normal_time = false;
  int steps_while_dialog_open = 0;
  std::atomic<bool> served{false};
  std::thread browser;
  // The questions and the image's checks run beside the window; the
  // download's clock starts once its progress window is up.
  frame_->Action(FrameCommand::kFirmwareUpgrade)->trigger();
  EXPECT_TRUE(frame_->DownloadRunning());  // the command returns at once
  ASSERT_TRUE(WaitUntil([&] {
    QApplication::processEvents();
    return ui_.ProgressWindow() != nullptr || !frame_->DownloadRunning();
  }));
  ASSERT_NE(ui_.ProgressWindow(), nullptr);
  const auto started = std::chrono::steady_clock::now();
  // A fifth of a second in, the user opens a modal dialog (Help > About, say)
  // and leaves it open for three seconds.
  QTimer::singleShot(200, frame_.get(), [&] {
    ticks_at_start = ticks;
    for (FrameCommand command : {FrameCommand::kFirmwareUpgrade, FrameCommand::kResetAdapter,
                                 FrameCommand::kClearFlash, FrameCommand::kExportErrorLog}) {
      if (frame_->Action(command)->isEnabled()) refused_while_running = false;
    }
    if (frame_->AdapterAction(1)->isEnabled()) refused_while_running = false;
    QWidget* progress = ui_.ProgressWindow();
    progress_beside_window = progress != nullptr && progress->isVisible() &&
                             !progress->isModal() &&
                             progress->windowTitle() == kUpgradeProgressTitle;
    close_put_off = !frame_->close() && frame_->isVisible() &&
                    frame_->statusBar()->currentMessage().contains("closes when it ends");
    browser = std::thread([&] {
      const ReadResult answer = Exchange(port, "GET / HTTP/1.0\r\n\r\n");
      served = answer.data.find("200 OK") != std::string::npos;
    });
    QDialog dialog(frame_.get());
    const int steps_at_open = ui_.steps;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (frame_->DownloadRunning() || done_in_normal_time) return;
      done_in_normal_time =
          std::chrono::steady_clock::now() - started < std::chrono::milliseconds(2900);
    });
    watch.start();
    QTimer::singleShot(3000, &dialog, [&] {
      ended_while_dialog_open = !frame_->DownloadRunning() && station_->FirmwareCommitted() &&
                                station_->LastControlValue() == 0;
      steps_while_dialog_open = ui_.steps - steps_at_open;
      dialog.accept();
    });
    dialog.exec();
  });
  EXPECT_TRUE(WaitUntil(
      [&] {
        QApplication::processEvents();
        return !frame_->DownloadRunning() && browser.joinable();
      },
      std::chrono::seconds(30)));
  if (browser.joinable()) browser.join();
  QApplication::processEvents();

  EXPECT_EQ(ui_.texts, std::vector<std::string>{kUpgradeQuestionText});
  EXPECT_TRUE(station_->FirmwareCommitted());
  EXPECT_EQ(station_->LoadedFirmware().size(), kFirmwareImageArea);
  EXPECT_GE(ticks - ticks_at_start, 2);
  EXPECT_TRUE(served);
  EXPECT_TRUE(refused_while_running);
  EXPECT_TRUE(progress_beside_window);
  EXPECT_TRUE(close_put_off);
  EXPECT_TRUE(ended_while_dialog_open);
  EXPECT_TRUE(done_in_normal_time);
  EXPECT_GE(steps_while_dialog_open, 50);  // the bar moved on under the dialog
  EXPECT_EQ(ui_.ProgressWindow(), nullptr);
  EXPECT_TRUE(frame_->Action(FrameCommand::kResetAdapter)->isEnabled());
  EXPECT_TRUE(frame_->AdapterAction(1)->isEnabled());
  EXPECT_FALSE(frame_->DownloadRunning());
  EXPECT_FALSE(frame_->isVisible());  // the close asked for meanwhile came at the end
}

TEST_F(FlashCommandsTest, RegistrationCardKeepsItsFieldsAndPrints) {
  SetRegistrationValue(AppSettings(), RegistrationField::kCompany, "Ring Works");
  Build();
  const std::string pdf = std::string(QUIVERA_BINARY_DIR) + "/registration_card.pdf";
  std::remove(pdf.c_str());
  view_->SetPrintSetup([&](QPrinter& printer, int last, int*, int*) {
    EXPECT_EQ(last, 1);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    return true;
  });
  bool shown_stored = false;
  std::string adapter_model;
  std::string adapter_serial;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CRegistrationDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown_stored = dialog->fieldEdit(RegistrationField::kCompany)->text() == "Ring Works";
    // Left empty in the settings: taken from the current adapter.
    adapter_model = dialog->fieldEdit(RegistrationField::kAdapterModel)->text().toStdString();
    adapter_serial = dialog->fieldEdit(RegistrationField::kAdapterSerial)->text().toStdString();
    dialog->fieldEdit(RegistrationField::kName)->setText(QStringLiteral("Ada Operator"));
    dialog->fieldEdit(RegistrationField::kAdapterSerial)->setText(QStringLiteral("SN-0042"));
    dialog->regionBox()->setCurrentIndex(1);
    dialog->printButton()->click();
    dialog->okButton()->click();
  });
  frame_->Action(FrameCommand::kRegistrationCard)->trigger();

  EXPECT_TRUE(shown_stored);
  EXPECT_EQ(adapter_model, "KORAP PCI FDDI Adapter V2.00");
  EXPECT_EQ(adapter_serial, "08-00-2B-A2-50-11");
  EXPECT_EQ(RegistrationValue(AppSettings(), RegistrationField::kName), "Ada Operator");
  EXPECT_EQ(RegistrationRegion(AppSettings(), 4), 1);
  EXPECT_EQ(ui_.texts, std::vector<std::string>{"The printout was written to " + pdf + "."});

  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(20000));
  const QString printed = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(printed.contains(QStringLiteral("Europe Office"))) << printed.toStdString();
  EXPECT_FALSE(printed.contains(QStringLiteral("Americas Office")));
  EXPECT_TRUE(printed.contains(QStringLiteral("Ada Operator")));
  EXPECT_TRUE(printed.contains(QStringLiteral("SN-0042")));
}

}  // namespace
}  // namespace quivera
