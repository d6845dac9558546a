// The main frame: menu texts and shortcuts, adapter choice and title, menu
// trimming, the reset menu entry.
#include "app/ui/main_frame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <thread>

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>

#include "adapter/driver_adapter.h"
#include "flash/reset_command.h"
#include "settings/settings.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "pages/path_page.h"
#include "pages/port_page.h"
#include "pages/smt_page.h"
#include "tests/pages/page_test_support.h"
#include "tests/support/recorded_changes.h"
#include "app/ui/windowed_app.h"
#include "ui_test_doubles.h"
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

namespace quivera {
namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

QMenu* MenuTitled(CMainFrame& frame, const QString& title) {
  for (QAction* action : frame.menuBar()->actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

QStringList EntryTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts;
}

TEST_F(MainFrameTest, StatusBarShowsReadyAgainAfterAMenuPrompt) {
  ScriptedUiServices ui;
  CMainFrame frame(ui);
  EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
  // What the menu sends while an entry is highlighted, and when it closes.
  QStatusTipEvent prompt(frame.Action(FrameCommand::kPrint)->statusTip());
  QApplication::sendEvent(&frame, &prompt);
  EXPECT_EQ(frame.statusBar()->currentMessage(), "Print the pages of the current adapter");
  QStatusTipEvent gone((QString()));
  QApplication::sendEvent(&frame, &gone);
  EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
}

TEST_F(MainFrameTest, MenusHoldEveryEntryWithItsMnemonicAndShortcut) {
  ScriptedUiServices ui;
  CMainFrame frame(ui);
  QStringList bar;
  for (QAction* action : frame.menuBar()->actions()) bar << action->text();
  EXPECT_EQ(bar, QStringList({"&File", "&Adapter", "&Options", "&Help"}));

  EXPECT_EQ(EntryTexts(MenuTitled(frame, "&File")),
            QStringList({"&Print...", "&Export Error Log...", "E&xit"}));
  EXPECT_EQ(
      EntryTexts(MenuTitled(frame, "&Options")),
      QStringList({"&Preferences...", "&Web Server...", "&Firmware Upgrade", "Reset &Adapter...",
                   "&Clear Counters", "Clear Flas&h...", "&Registration Card"}));
  EXPECT_EQ(
      EntryTexts(MenuTitled(frame, "&Help")),
      QStringList({"&Contents", "&Search...", "How to Use Help", "-", "&About QUIVERA/FDDI..."}));
  QStringList adapters;
  for (int n = 1; n <= 16; ++n) adapters << QStringLiteral("Adapter %1").arg(n);
  EXPECT_EQ(EntryTexts(MenuTitled(frame, "&Adapter")), adapters);

  EXPECT_EQ(frame.Action(FrameCommand::kPrint)->shortcut(), QKeySequence("Ctrl+P"));
  EXPECT_EQ(frame.Action(FrameCommand::kExportErrorLog)->statusTip(),
            "write error log contents to file");
  // Every command has a prompt for the status bar.
  for (QMenu* menu : {MenuTitled(frame, "&File"), MenuTitled(frame, "&Options"),
                      MenuTitled(frame, "&Help"), MenuTitled(frame, "&Adapter")}) {
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) {
        EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();
      }
    }
  }
}

TEST_F(MainFrameTest, FlashAndRegistrationCommandsAreOffered) {
  ScriptedUiServices ui;
  CMainFrame frame(ui);
  for (FrameCommand command : {FrameCommand::kExportErrorLog, FrameCommand::kFirmwareUpgrade,
                               FrameCommand::kClearFlash, FrameCommand::kRegistrationCard}) {
    ASSERT_NE(frame.Action(command), nullptr);
    EXPECT_TRUE(frame.Action(command)->isEnabled()) << frame.Action(command)->text().toStdString();
  }
  EXPECT_TRUE(frame.Action(FrameCommand::kResetAdapter)->isEnabled());
  EXPECT_TRUE(frame.Action(FrameCommand::kPrint)->isEnabled());
}

TEST_F(MainFrameTest, WindowCannotBeMaximisedOrResized) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  CMainFrame& frame = harness.frame();
  EXPECT_FALSE(frame.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(frame.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
  EXPECT_GT(frame.minimumSize().width(), 0);
}

TEST_F(MainFrameTest, ThreeAdaptersGiveThreeEntriesAndTheChoiceMovesCheckAndTitle) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2, 2, 2}));
  CMainFrame& frame = harness.frame();
  EXPECT_EQ(EntryTexts(MenuTitled(frame, "&Adapter")),
            QStringList({"Adapter 1", "Adapter 2", "Adapter 3"}));
  EXPECT_EQ(frame.AdapterAction(4), nullptr);

  frame.SelectAdapter(1);
  EXPECT_EQ(frame.windowTitle(), "QUIVERA/FDDI - Adapter 1");
  EXPECT_TRUE(frame.AdapterAction(1)->isChecked());

  harness.ClearRecords();
  frame.AdapterAction(2)->trigger();
  EXPECT_EQ(frame.windowTitle(), "QUIVERA/FDDI - Adapter 2");
  EXPECT_EQ(harness.view().Adapters().CurrentIndex(), 1);
  EXPECT_FALSE(frame.AdapterAction(1)->isChecked());
  EXPECT_TRUE(frame.AdapterAction(2)->isChecked());
  EXPECT_FALSE(frame.AdapterAction(3)->isChecked());
  EXPECT_EQ(frame.CheckedAdapter(), 2);
  // The active page shows the new adapter in full.
  const int active = harness.view().ActiveIndex();
  EXPECT_EQ(harness.page(active).refreshes, (std::vector<std::pair<int, int>>{{1, 1}}));

  // Choosing the checked entry again keeps it checked.
  frame.AdapterAction(2)->trigger();
  EXPECT_TRUE(frame.AdapterAction(2)->isChecked());
}

TEST_F(MainFrameTest, AnAdapterChosenFromABrowserIsFollowedOnTheNextTick) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2, 1, 2}));
  CMainFrame& frame = harness.frame();
  frame.SelectAdapter(1);
  ASSERT_EQ(harness.view().Sheet()->count(), 9);

  // The hypertext server's worker makes adapter 2 (one port) current.
  ASSERT_EQ(harness.view().Adapters().SetCurrent(1), 0);
  harness.view().OnMainTimer();
  EXPECT_EQ(frame.windowTitle(), "QUIVERA/FDDI - Adapter 2");
  EXPECT_EQ(frame.CheckedAdapter(), 2);
  EXPECT_FALSE(frame.AdapterAction(1)->isChecked());
  EXPECT_EQ(harness.view().Sheet()->count(), 8);
}

TEST_F(MainFrameTest, TrimKeepsOnlyTheAdaptersFound) {
  struct Case {
    int count;
    int entries;
  };
  for (const Case c : {Case{1, 1}, Case{5, 5}, Case{16, 16}}) {
    SCOPED_TRACE(c.count);
    ScriptedUiServices ui;
    CMainFrame frame(ui);
    frame.TrimAdapterMenu(c.count);
    EXPECT_EQ(EntryTexts(MenuTitled(frame, "&Adapter")).size(), c.entries);
    frame.TrimAdapterMenu(c.count);  // again: nothing more goes
    EXPECT_EQ(EntryTexts(MenuTitled(frame, "&Adapter")).size(), c.entries);
  }
}

TEST_F(MainFrameTest, ClearFlashEntryFollowsTheHiddenSetting) {
  for (int clear_flash : {0, 1}) {
    SCOPED_TRACE(clear_flash);
    ResetSettings();
    AppSettings().ClearFlash = clear_flash;
    ViewHarness harness;
    ASSERT_TRUE(harness.Build({2}));
    const QStringList options = EntryTexts(MenuTitled(harness.frame(), "&Options"));
    EXPECT_EQ(options.contains("Clear Flas&h..."), clear_flash != 0);
    EXPECT_EQ(harness.frame().Action(FrameCommand::kClearFlash) != nullptr, clear_flash != 0);
    EXPECT_EQ(options.size(), clear_flash != 0 ? 7 : 6);
  }
}

// Runs the window's event loop until 'done' or 'limit' has passed.
bool SpinUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The commands that act on the adapter's own answers, chosen while adapter 2
// is current and its driver is stopped: the window's thread comes back at
// once, the commands that would disturb it and Exit are greyed, closing is
// put off, the questions are still asked, and the requests reach adapter 2
// even when another adapter becomes current meanwhile (a browser's choice).
TEST_F(MainFrameTest, AdapterCommandsRunBesideTheWindowOnTheAdapterTheyStartedOn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string log = dir.filePath("ERRLOG.FWD").toStdString();
  struct Case {
    const char* name;
    FrameCommand command;
    std::deque<MessageAnswer> answers;
    std::string file;  // the export's file
    std::vector<std::string> texts;  // every message, in order
    // What adapter 'a' received, compared with what adapter 2 must have.
    std::function<bool(FakeAdapter& a)> reached;
  };
  const Case cases[] = {
      {"reset", FrameCommand::kResetAdapter, {MessageAnswer::Yes}, "",
       {kResetQuestionText},
       [](FakeAdapter& a) { return a.controls == std::vector<int>{kControlReset}; }},
      {"clear flash", FrameCommand::kClearFlash, {MessageAnswer::Yes, MessageAnswer::Yes}, "",
       {"Clear Flash Error Log!", "Clear Flash Error Log. Are you sure?",
        "Unable to clear the Flash Error Log.", "Clear Flash Driver Parameters!",
        "Clear Flash IEEE Address!"},
       [](FakeAdapter& a) {
         return a.sets == std::vector<ManagementItem>{ManagementItem::ErrorLogEntry};
       }},
      {"export", FrameCommand::kExportErrorLog, {}, log, {},
       [](FakeAdapter& a) { return a.other_reads > 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetSettings();
    AppSettings().MGTSetOperations = 0;
    AppSettings().ClearFlash = 1;
    ViewHarness harness;
    ASSERT_TRUE(harness.Build({2, 2}));
    CMainFrame& frame = harness.frame();
    frame.show();
    frame.SelectAdapter(2);
    harness.ui.answers = c.answers;
    harness.ui.file_answers = {c.file};
    harness.adapter(2).held = true;
    // Should the command wait on the window's thread, the driver comes back
    // after two seconds and the timing below fails instead of hanging.
    std::thread watchdog([&] {
      std::this_thread::sleep_for(std::chrono::seconds(2));
      harness.adapter(2).held = false;
    });
    const auto started = std::chrono::steady_clock::now();
    frame.Action(c.command)->trigger();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_TRUE(frame.CommandRunning());
    for (FrameCommand command : {FrameCommand::kFirmwareUpgrade, FrameCommand::kResetAdapter,
                                 FrameCommand::kClearFlash, FrameCommand::kExportErrorLog,
                                 FrameCommand::kExit}) {
      EXPECT_FALSE(frame.Action(command)->isEnabled()) << static_cast<int>(command);
    }
    EXPECT_FALSE(frame.AdapterAction(1)->isEnabled());
    EXPECT_TRUE(frame.Action(FrameCommand::kPreferences)->isEnabled());
    // The questions are answered through the window's event loop while the
    // request to the stopped driver waits on the command's own thread.
    EXPECT_TRUE(SpinUntil([&] { return harness.adapter(2).held_requests > 0; }));
    harness.frame().View()->Adapters().SetCurrent(0);
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.statusBar()->currentMessage().contains("closes when it ends"));
    harness.adapter(2).held = false;
    EXPECT_TRUE(SpinUntil([&] { return !frame.CommandRunning(); }));
    watchdog.join();
    EXPECT_TRUE(SpinUntil([&] { return !frame.isVisible(); }));  // the close put off
    EXPECT_EQ(harness.ui.Texts(), c.texts);
    EXPECT_TRUE(c.reached(harness.adapter(2)));
    EXPECT_FALSE(c.reached(harness.adapter(1)));
    EXPECT_TRUE(frame.Action(c.command)->isEnabled());
    EXPECT_TRUE(frame.AdapterAction(1)->isEnabled());
  }
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(log)));
}

// A window that goes while a command waits for an answer or for a stopped
// driver does not wait for either: the question gets its safe answer, the
// driver request gives up, and nothing reaches the adapter.
TEST_F(MainFrameTest, WindowGoingEndsARunningCommandAtOnce) {
  for (bool driver_stopped : {false, true}) {
    SCOPED_TRACE(driver_stopped);
    ResetSettings();
    AppSettings().MGTSetOperations = 0;
    ViewHarness harness;
    ASSERT_TRUE(harness.Build({2}));
    harness.frame().SelectAdapter(1);
    harness.ui.answers = {MessageAnswer::Yes};
    FakeAdapter& adapter = harness.adapter(1);
    if (driver_stopped) {
      adapter.held = true;
      harness.frame().Action(FrameCommand::kResetAdapter)->trigger();
      EXPECT_TRUE(SpinUntil([&] { return adapter.held_requests > 0; }));
    } else {
      // The question is on its way to the window's thread, not yet shown.
      harness.frame().Action(FrameCommand::kResetAdapter)->trigger();
    }
    const auto started = std::chrono::steady_clock::now();
    harness.DestroyFrame();  // the adapters go with the view
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(harness.ui.messages.size(), driver_stopped ? 1u : 0u);
  }
}

TEST_F(MainFrameTest, OptionsDialogsTellTheViewOnlyWhenAccepted) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  CMainFrame& frame = harness.frame();
  bool accept = false;
  int opened = 0;
  frame.SetPreferencesDialog([&](QWidget*) {
    ++opened;
    return accept;
  });
  ASSERT_TRUE(frame.Action(FrameCommand::kPreferences)->isEnabled());
  const int samples_before = harness.adapter(1).samples;
  frame.Action(FrameCommand::kPreferences)->trigger();
  EXPECT_EQ(harness.adapter(1).samples, samples_before);  // cancelled: nothing
  accept = true;
  frame.Action(FrameCommand::kPreferences)->trigger();
  EXPECT_EQ(harness.adapter(1).samples, samples_before + 1);
  EXPECT_EQ(opened, 2);

  frame.SetWebServerDialog({});
  EXPECT_FALSE(frame.Action(FrameCommand::kWebServer)->isEnabled());
}

// A slider moved to the other end of its range, as the operator drags it.
void Drag(QSlider* slider) {
  slider->setValue(slider->value() == slider->maximum() ? slider->minimum() : slider->maximum());
}

TEST_F(MainFrameTest, SetButtonsFollowTheGuardOnEveryPageAfterPreferencesChangeIt) {
  struct Case {
    int sheet;
    int guard_before;  // "MGTSetOperations" while the operator edits
    int guard_after;   // ... after Options > Preferences > OK
    std::vector<bool> edited;  // Set, Cancel, Default right after the edit
    std::vector<bool> after;   // ... after the Preferences
    size_t refusals;           // change record lines of a click on Set that slips through
  };
  const std::vector<bool> all{true, true, true}, none{false, false, false},
      only_default{false, false, true};
  const Case cases[] = {
      {kSmtSheet, 0, 1, all, none, 1},          {kPathSheet, 0, 1, all, none, 1},
      {kPort0Sheet, 0, 1, all, none, 2},        {kSmtSheet, 1, 0, none, only_default, 0},
      {kPathSheet, 1, 0, none, only_default, 0}, {kPort0Sheet, 1, 0, none, only_default, 0},
      {kSmtSheet, 0, 0, all, only_default, 0},  {kPort0Sheet, 0, 0, all, only_default, 0},
      {kPort0Sheet, 1, 1, none, none, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet);
    SCOPED_TRACE(c.guard_before * 10 + c.guard_after);
    ResetSettings();
    AppSettings().MGTSetOperations = c.guard_before;
    QTemporaryDir dir;
    ScriptedUiServices ui;
    WindowedApp app(
        ui, dir.filePath("quivera.ini").toStdString(), true,
        [](const std::string&) { return std::unique_ptr<DriverChannel>(); }, [] { return true; });
    ASSERT_TRUE(app.Start());
    AppSettings().MGTSetOperations = c.guard_before;  // start-up read the file's default
    CQVFView& view = *app.View();
    view.ActivatePage(c.sheet);
    QWidget* page = view.Page(c.sheet);
    std::array<QPushButton*, 3> buttons{};
    if (auto* smt = qobject_cast<CSMTPage*>(page)) {
      ClickIndicator(smt->policyCell(0));
      buttons = {smt->setButton(), smt->cancelButton(), smt->defaultButton()};
    } else if (auto* path = qobject_cast<CPathPage*>(page)) {
      Drag(path->tmaxSlider());
      buttons = {path->setButton(), path->cancelButton(), path->defaultButton()};
    } else if (auto* port = qobject_cast<CPORTPage*>(page)) {
      Drag(port->cutoffSlider());
      buttons = {port->setButton(), port->cancelButton(), port->defaultButton()};
    }
    ASSERT_NE(buttons[0], nullptr);
    const auto states = [&buttons] {
      return std::vector<bool>{buttons[0]->isEnabled(), buttons[1]->isEnabled(),
                               buttons[2]->isEnabled()};
    };
    EXPECT_EQ(states(), c.edited);

    app.Frame()->SetPreferencesDialog([&c](QWidget*) {
      AppSettings().MGTSetOperations = c.guard_after;
      return true;
    });
    app.Frame()->Action(FrameCommand::kPreferences)->trigger();
    EXPECT_EQ(states(), c.after);

    // A click on Set that reaches the page anyway sends nothing while the
    // guard forbids it, and the record says it was tried.
    const RecordedChanges record;
    if (c.guard_after != 0) {
      ASSERT_TRUE(QMetaObject::invokeMethod(page, "OnSet"));
      EXPECT_EQ(states(), none);
    }
    EXPECT_EQ(record.Entries().size(), c.refusals);
    for (const std::string& line : record.Entries()) {
      EXPECT_NE(line.find("origin=window "), std::string::npos) << line;
      EXPECT_NE(line.find(" outcome=refused: set operations disabled"), std::string::npos) << line;
    }
    EXPECT_TRUE(app.Exit().ok);
  }
}

TEST_F(MainFrameTest, OptionsEntriesOpenTheProgramsDialogs) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  struct Case {
    FrameCommand command;
    const char* title;
  };
  for (const Case c : {Case{FrameCommand::kPreferences, "Preferences"},
                       Case{FrameCommand::kWebServer, "Hypertext Server Configuration"}}) {
    SCOPED_TRACE(c.title);
    QString seen;
    QTimer::singleShot(0, &harness.frame(), [&seen] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      seen = dialog->windowTitle();
      dialog->reject();
    });
    ASSERT_TRUE(harness.frame().Action(c.command)->isEnabled());
    harness.frame().Action(c.command)->trigger();
    EXPECT_EQ(seen, c.title);
  }
}

}  // namespace
}  // namespace quivera
