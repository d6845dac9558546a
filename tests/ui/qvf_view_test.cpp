// The main view: sheet order and titles, the first activations, the refresh
// step, the second Port page, Clear Counters, preferences, creation failures.
#include "app/ui/qvf_view.h"

#include <gtest/gtest.h>

#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "adapter/driver_adapter.h"
#include "settings/settings.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "ui_test_doubles.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

using Calls = std::vector<std::pair<int, int>>;

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

QStringList TabTitles(const CQVFView& view) {
  QStringList titles;
  for (int i = 0; i < view.Sheet()->count(); ++i) titles << view.Sheet()->tabText(i);
  return titles;
}

TEST_F(ViewTest, SheetHoldsTheNinePagesInOrder) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  EXPECT_EQ(TabTitles(harness.view()),
            QStringList({"General", "Performance", "SMT", "MAC", "MAC Counters", "Path", "Flash",
                         "Port 0", "Port 1"}));
  for (int i = 0; i < kSheetPages; ++i) {
    EXPECT_EQ(harness.view().Sheet()->widget(i), &harness.page(i));
  }
  EXPECT_TRUE(harness.ui.messages.empty());
}

TEST_F(ViewTest, CreationActivatesEveryPageButPerformanceThenTheStartPage) {
  AppSettings().ActivePage = 3;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  // MAC is opened first, then every page but Performance once, then MAC again.
  EXPECT_EQ(harness.page(kMacSheet).refreshes, (Calls{{1, 1}, {1, 1}, {1, 1}}));
  EXPECT_TRUE(harness.page(kPerformanceSheet).refreshes.empty());
  for (int i : {0, 2, 4, 5, 6, 7, 8}) {
    EXPECT_EQ(harness.page(i).refreshes, (Calls{{1, 1}})) << i;
  }
  EXPECT_EQ(harness.view().ActiveIndex(), kMacSheet);
  EXPECT_EQ(harness.view().Sheet()->currentIndex(), kMacSheet);
  EXPECT_EQ(AppSettings().ActivePage.load(), kMacSheet);
  EXPECT_TRUE(harness.view().MainTimer().isActive());
  EXPECT_EQ(harness.view().MainTimer().interval(), 1000);
}

TEST_F(ViewTest, StoredActivePageChoosesTheFirstPageShown) {
  struct Case {
    int stored;
    std::vector<uint32_t> ports;  // of adapter 1
    int shown;
  };
  const Case cases[] = {
      {0, {2}, kGeneralSheet},     {2, {2}, kSmtSheet},
      {1, {2}, kPerformanceSheet}, {8, {2}, kPort1Sheet},  // the second Port page exists
      {8, {1}, kGeneralSheet},                             // it leaves with a single-port adapter
      {9, {2}, kGeneralSheet},                             // no such page
      {9, {1}, kGeneralSheet},     {-3, {2}, kGeneralSheet},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    SCOPED_TRACE(c.ports[0]);
    ResetSettings();
    AppSettings().ActivePage = c.stored;
    ViewHarness harness;
    ASSERT_TRUE(harness.Build(c.ports));
    harness.frame().SelectAdapter(1);
    EXPECT_EQ(harness.view().Sheet()->currentIndex(), c.shown);
    EXPECT_EQ(harness.view().ActiveIndex(), c.shown);
    EXPECT_EQ(AppSettings().ActivePage.load(), c.shown);
    EXPECT_TRUE(harness.ui.messages.empty());
  }
}

TEST_F(ViewTest, ClickingATabActivatesItsPage) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  harness.ClearRecords();
  QTabBar* bar = harness.view().Sheet()->tabBar();
  harness.frame().show();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(kPathSheet).center());
  EXPECT_EQ(harness.view().ActiveIndex(), kPathSheet);
  EXPECT_EQ(harness.page(kPathSheet).refreshes, (Calls{{1, 1}}));
  EXPECT_EQ(AppSettings().ActivePage.load(), kPathSheet);
}

TEST_F(ViewTest, RefreshStepRedrawsEveryRefreshRateTicks) {
  AppSettings().RefreshRate = 5;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  FakeAdapter& adapter = harness.adapter(1);
  RecordingPage& active = harness.page(harness.view().ActiveIndex());
  harness.ClearRecords();
  const int samples_before = adapter.samples;
  const int begins_before = adapter.begin_refreshes;

  for (int tick = 1; tick <= 10; ++tick) {
    SCOPED_TRACE(tick);
    harness.view().OnMainTimer();
    EXPECT_EQ(adapter.begin_refreshes, begins_before + tick);
    const int redraws = tick / 5;
    EXPECT_EQ(adapter.samples, samples_before + redraws);
    EXPECT_EQ(active.refreshes, Calls(static_cast<size_t>(redraws), {0, 1}));
  }
}

TEST_F(ViewTest, RefreshRateOneRedrawsOnEveryTick) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  RecordingPage& active = harness.page(harness.view().ActiveIndex());
  harness.ClearRecords();
  for (int tick = 0; tick < 3; ++tick) harness.view().OnMainTimer();
  EXPECT_EQ(active.refreshes, (Calls{{0, 1}, {0, 1}, {0, 1}}));
}

TEST_F(ViewTest, TimerTicksDriveTheRefreshStep) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  const int before = harness.adapter(1).begin_refreshes;
  QTRY_VERIFY_WITH_TIMEOUT(harness.adapter(1).begin_refreshes > before, 3000);
}

TEST_F(ViewTest, RemoteSetGivesAFullRefreshOnTheNextTick) {
  AppSettings().RefreshRate = 5;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  RecordingPage& active = harness.page(harness.view().ActiveIndex());
  harness.ClearRecords();
  harness.view().OnMainTimer();
  EXPECT_TRUE(active.refreshes.empty());
  RemoteSetDone = true;
  harness.view().OnMainTimer();
  EXPECT_EQ(active.refreshes, (Calls{{1, 1}}));
  EXPECT_FALSE(RemoteSetDone.load());
  harness.view().OnMainTimer();
  EXPECT_EQ(active.refreshes, (Calls{{1, 1}}));
}

// With a driver adapter over an in-process station: a tick between redraws
// sends nothing to the driver; a redraw tick sends the performance sample's
// requests, and never more than one per reply block.
TEST_F(ViewTest, TicksBetweenRedrawsSendNoDriverRequest) {
  AppSettings().RefreshRate = 3;
  auto station = std::make_shared<Station>();
  LoadDefaultStation(*station, "korap1");
  auto channel = std::make_unique<EmulatorChannel>(station);
  std::shared_ptr<ChannelRequestLog> log = channel->log();

  ScriptedUiServices ui;
  CMainFrame frame(ui);
  auto* view = new CQVFView(frame, ui, false,
                            [](AdapterList&, int index) { return new RecordingPage(index); });
  frame.SetView(view);
  ASSERT_TRUE(view->Create([&](AdapterList& list) {
    list.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
    return true;
  }));
  log->Clear();
  std::vector<size_t> per_tick;
  for (int tick = 0; tick < 6; ++tick) {
    const size_t before = log->Count();
    view->OnMainTimer();
    per_tick.push_back(log->Count() - before);
  }
  EXPECT_EQ(per_tick[0], 0u);
  EXPECT_EQ(per_tick[1], 0u);
  EXPECT_GT(per_tick[2], 0u);
  EXPECT_EQ(per_tick[3], 0u);
  EXPECT_EQ(per_tick[4], 0u);
  EXPECT_EQ(per_tick[5], per_tick[2]);
}

TEST_F(ViewTest, SecondPortPageFollowsThePortCount) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({1, 2, 1}));
  CMainFrame& frame = harness.frame();
  CQVFView& view = harness.view();

  frame.SelectAdapter(1);
  EXPECT_EQ(view.Sheet()->count(), 8);
  EXPECT_EQ(TabTitles(view).last(), "Port 0");

  frame.SelectAdapter(2);
  EXPECT_EQ(view.Sheet()->count(), 9);
  EXPECT_EQ(TabTitles(view).last(), "Port 1");
  EXPECT_EQ(view.Sheet()->widget(kPort1Sheet), &harness.page(kPort1Sheet));

  // Shown when its adapter goes: the first page takes its place.
  view.ActivatePage(kPort1Sheet);
  harness.ClearRecords();
  frame.SelectAdapter(3);
  EXPECT_EQ(view.Sheet()->count(), 8);
  EXPECT_EQ(view.ActiveIndex(), kGeneralSheet);
  EXPECT_FALSE(harness.page(kGeneralSheet).refreshes.empty());
  EXPECT_TRUE(harness.page(kPort1Sheet).refreshes.empty());

  // Unreadable port count: the sheet stays as it is.
  harness.adapter(2).port_count_fails = true;
  frame.SelectAdapter(2);
  EXPECT_EQ(view.Sheet()->count(), 8);
  EXPECT_EQ(frame.windowTitle(), "QUIVERA/FDDI - Adapter 2");
}

TEST_F(ViewTest, ClearCountersIsOfferedOnlyWherePagesHaveCounters) {
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  QAction* clear = harness.frame().Action(FrameCommand::kClearCounters);
  const bool expected[kSheetPages] = {true, false, false, true, true, false, false, true, true};
  for (int index = 0; index < kSheetPages; ++index) {
    SCOPED_TRACE(index);
    harness.view().ActivatePage(index);
    harness.ClearRecords();
    EXPECT_EQ(clear->isEnabled(), expected[index]);
    clear->trigger();
    EXPECT_EQ(harness.page(index).clears, expected[index] ? 1 : 0);
  }
}

TEST_F(ViewTest, PreferencesAcceptedRedrawsUnlessPerformanceIsShown) {
  AppSettings().RefreshRate = 4;
  ViewHarness harness;
  ASSERT_TRUE(harness.Build({2}));
  CQVFView& view = harness.view();
  for (int index : {kSmtSheet, kPerformanceSheet}) {
    SCOPED_TRACE(index);
    view.ActivatePage(index);
    harness.ClearRecords();
    view.OnMainTimer();  // the countdown runs
    const int samples = harness.adapter(1).samples;
    AppSettings().RefreshRate = 2;
    view.OnPreferencesAccepted();
    EXPECT_EQ(harness.adapter(1).samples, samples + 1);
    EXPECT_EQ(harness.page(index).refreshes,
              (index == kPerformanceSheet ? Calls{} : Calls{{1, 1}}));
    // The countdown starts again at the new rate: the redraw comes on the 2nd tick.
    harness.ClearRecords();
    view.OnMainTimer();
    EXPECT_TRUE(harness.page(index).refreshes.empty());
    view.OnMainTimer();
    EXPECT_EQ(harness.page(index).refreshes, (Calls{{0, 1}}));
    AppSettings().RefreshRate = 4;
  }
}

TEST_F(ViewTest, FailedDiscoveryEndsCreationWithoutPages) {
  ScriptedUiServices ui;
  CMainFrame frame(ui);
  int pages_made = 0;
  auto* view = new CQVFView(frame, ui, false, [&](AdapterList&, int index) {
    ++pages_made;
    return new RecordingPage(index);
  });
  frame.SetView(view);
  EXPECT_FALSE(view->Create([](AdapterList&) { return false; }));
  EXPECT_EQ(pages_made, 0);
  EXPECT_FALSE(view->MainTimer().isActive());
}

TEST_F(ViewTest, APageThatCannotBeMadeEndsCreationWithItsMessage) {
  struct Case {
    int failing_index;
    const char* text;
  };
  const Case cases[] = {
      {kPort1Sheet, "Could Not Allocate Port Page."},
      {kMacCountersSheet, "Could Not Allocate MAC Count Page."},
      {kPerformanceSheet, "Could Not Allocate Performance Page."},
      {kFlashSheet, "Could Not Allocate Flash Page."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ScriptedUiServices ui;
    CMainFrame frame(ui);
    auto* view = new CQVFView(frame, ui, false, [&](AdapterList&, int index) -> PropertyPage* {
      if (index == c.failing_index) return nullptr;
      return new RecordingPage(index);
    });
    frame.SetView(view);
    EXPECT_FALSE(view->Create([](AdapterList& list) {
      list.Add(std::make_unique<FakeAdapter>());
      return true;
    }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.text);
    EXPECT_EQ(ui.messages[0].caption, "QUIVERA/FDDI");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Stop);
  }
}

}  // namespace
}  // namespace quivera
