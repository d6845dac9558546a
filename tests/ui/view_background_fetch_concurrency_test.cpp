// The view with its background fetch started: the window's thread returns at
// once from ticks, adapter switches and page activations whatever an
// adapter does, and what arrives later is drawn: the active page again
// (reloading when its reload found values missing), the Port pages once the
// port count is there.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "app/ui/qvf_view.h"
#include "settings/settings.h"
#include "ui_test_doubles.h"

namespace quivera {
namespace {

using Clock = std::chrono::steady_clock;
// Far below the hold's watchdog, far above what a busy machine under a
// sanitizer takes for a step that does not wait.
constexpr auto kWindowBound = std::chrono::milliseconds(500);
constexpr auto kWatchdog = std::chrono::seconds(3);

// A FakeAdapter whose reads hang while it is held, as on a stopped driver.
class HeldAdapter : public FakeAdapter {
 public:
  using FakeAdapter::FakeAdapter;
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index) override {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [this] { return !held_; });
    ++reads;
    return FakeAdapter::GetItem(item, buffer, length, index);
  }
  void Hold(bool on) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held_ = on;
    }
    released_.notify_all();
  }
  int reads = 0;  // under mutex_ while lanes run

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

// A page that reads the port count on every refresh and records what it
// got (0 when the read failed) beside the refresh flags.
class ReadingPage : public RecordingPage {
 public:
  ReadingPage(AdapterList& list, int index) : RecordingPage(index), list_(list) {}
  void Refresh(int reload, int show) override {
    RecordingPage::Refresh(reload, show);
    uint32_t ports = 0;
    GetU32(list_, ManagementItem::PortCount, &ports);
    seen.push_back(ports);
  }
  std::vector<uint32_t> seen;

 private:
  AdapterList& list_;
};

class ViewFetchTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override {
    for (HeldAdapter* adapter : adapters_) adapter->Hold(false);
    frame_.reset();
    ResetSettings();
  }

  // Frame and view over one HeldAdapter per port count, reading pages, the
  // fetch started as the windowed program starts it.
  void Build(const std::vector<uint32_t>& port_counts) {
    frame_ = std::make_unique<CMainFrame>(ui_);
    auto* view = new CQVFView(*frame_, ui_, /*sockets_ok=*/false,
                              [this](AdapterList& list, int index) -> PropertyPage* {
                                auto* page = new ReadingPage(list, index);
                                pages_.at(static_cast<size_t>(index)) = page;
                                return page;
                              });
    frame_->SetView(view);
    ASSERT_TRUE(view->Create([&](AdapterList& list) {
      for (uint32_t ports : port_counts) {
        auto adapter = std::make_unique<HeldAdapter>(ports);
        adapters_.push_back(adapter.get());
        list.Add(std::move(adapter));
      }
      frame_->TrimAdapterMenu(list.Count());
      return true;
    }));
    frame_->SelectAdapter(1);
    view->StartBackgroundFetch();
  }
  CQVFView& view() { return *frame_->View(); }
  ReadingPage& page(int index) { return *pages_.at(static_cast<size_t>(index)); }

  ScriptedUiServices ui_;
  std::unique_ptr<CMainFrame> frame_;
  std::vector<HeldAdapter*> adapters_;
  std::array<ReadingPage*, kSheetPages> pages_{};
};

TEST_F(ViewFetchTest, WindowStepsReturnAtOnceWhileTheAdapterHangs) {
  Build({2, 1});
  for (HeldAdapter* adapter : adapters_) adapter->Hold(true);
  // A step that waits on the adapter would wait for ever: the watchdog lets
  // it go, late enough to show.
  std::mutex done_mutex;
  std::condition_variable done_changed;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(done_mutex);
    done_changed.wait_for(lock, kWatchdog, [&] { return done; });
    for (HeldAdapter* adapter : adapters_) adapter->Hold(false);
  });
  struct Step {
    const char* name;
    std::function<void()> run;
  };
  const Step steps[] = {
      {"tick", [&] { view().OnMainTimer(); }},
      {"page activation", [&] { view().ActivatePage(kGeneralSheet); }},
      {"adapter switch", [&] { frame_->SelectAdapter(2); }},
      {"tick on the other adapter", [&] { view().OnMainTimer(); }},
  };
  for (const Step& step : steps) {
    const Clock::time_point start = Clock::now();
    step.run();
    EXPECT_LT(Clock::now() - start, kWindowBound) << step.name;
  }
  {
    std::lock_guard<std::mutex> lock(done_mutex);
    done = true;
  }
  done_changed.notify_all();
  watchdog.join();
}

struct PortCase {
  uint32_t ports;
  int pages;
};

TEST_F(ViewFetchTest, PortPagesFollowAPortCountThatArrivesAfterTheSwitch) {
  const PortCase cases[] = {{1, kSheetPages - 1}, {2, kSheetPages}};
  for (const PortCase& c : cases) {
    SCOPED_TRACE(c.ports);
    Build({2, c.ports});
    adapters_[1]->Hold(true);
    frame_->SelectAdapter(2);
    EXPECT_EQ(view().Sheet()->count(), kSheetPages) << "the count is not there yet";
    adapters_[1]->Hold(false);
    QTRY_COMPARE_WITH_TIMEOUT(view().Sheet()->count(), c.pages, 10000);
    frame_.reset();
    adapters_.clear();
  }
}

TEST_F(ViewFetchTest, AnActivationWhoseValuesWereMissingIsRedrawnWithReloadOnArrival) {
  Build({2, 2});
  ReadingPage& smt = page(kSmtSheet);
  adapters_[0]->Hold(true);
  view().OnMainTimer();  // a new cycle: nothing of it fetched yet
  smt.refreshes.clear();
  smt.seen.clear();
  view().ActivatePage(kSmtSheet);
  ASSERT_EQ(smt.refreshes.size(), 1u);
  adapters_[0]->Hold(false);
  // One redraw when the value arrives, with the reload the activation asked
  // for, and then none: everything is there.
  QTRY_COMPARE_WITH_TIMEOUT(smt.refreshes.size(), size_t{2}, 10000);
  EXPECT_EQ(smt.refreshes[1], std::make_pair(1, 1));
  EXPECT_EQ(smt.seen.back(), 2u);
  QTest::qWait(100);
  EXPECT_EQ(smt.refreshes.size(), 2u);
}

// A printout made while the adapter's driver is stopped waits for the values
// with the window running (its timers fire, the adapter choice is greyed),
// and prints the adapter's own answer once it arrives.
TEST_F(ViewFetchTest, PrintingWaitsForTheValuesWithTheWindowRunning) {
  Build({2});
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  view().SetPrintSetup([&](QPrinter& printer, int, int* first, int* final_sheet) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("held.pdf"));
    *first = *final_sheet = 1;
    return true;
  });
  ui_.on_wait = [](int ms) { QTest::qWait(ms); };
  adapters_[0]->Hold(true);
  view().OnMainTimer();  // a new cycle: nothing of it fetched yet
  std::atomic<bool> released{false};
  std::thread watchdog([&] {
    const Clock::time_point end = Clock::now() + kWatchdog;
    while (!released && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    adapters_[0]->Hold(false);
  });
  // Only the window's event loop lets the driver come back early.
  bool choice_greyed = false;
  QTimer::singleShot(300, frame_.get(), [&] {
    choice_greyed = !frame_->AdapterAction(1)->isEnabled();
    adapters_[0]->Hold(false);
    released = true;
  });
  ReadingPage& general = page(kGeneralSheet);
  general.seen.clear();
  const Clock::time_point start = Clock::now();
  frame_->Action(FrameCommand::kPrint)->trigger();
  const auto took = Clock::now() - start;
  released = true;
  watchdog.join();
  EXPECT_LT(took, kWatchdog - std::chrono::milliseconds(500));
  EXPECT_TRUE(choice_greyed);
  ASSERT_FALSE(general.seen.empty());
  EXPECT_EQ(general.seen.back(), 2u);  // the adapter's answer, not "not yet"
  EXPECT_EQ(general.prints, std::vector<int>{0});
  EXPECT_TRUE(frame_->AdapterAction(1)->isEnabled());
}

}  // namespace
}  // namespace quivera
