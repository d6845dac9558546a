// The refresh step: what each tick asks of the adapter and the active page.
#include "app/refresh_cycle.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/settings.h"
#include "web/server_counters.h"

namespace quivera {
namespace {

// Writes one letter per call into a shared journal: B BeginRefresh,
// S SamplePerformance.
class JournalAdapter : public Adapter {
 public:
  explicit JournalAdapter(std::string* journal) : journal_(journal) {}
  int GetItem(ManagementItem, void*, size_t*, int) override { return 1; }
  int SetItem(ManagementItem, const void*, size_t, int) override { return 1; }
  void BeginRefresh() override { *journal_ += 'B'; }
  void SamplePerformance(int) override { *journal_ += 'S'; }

 private:
  std::string* journal_;
};

// Adds "F" for Refresh (1, 1) and "R" for Refresh (0, 1).
class JournalPages : public ActivePageTarget {
 public:
  explicit JournalPages(std::string* journal) : journal_(journal) {}
  bool HasActivePage() const override { return active; }
  void RefreshActivePage(int reload, int show) override {
    EXPECT_EQ(show, 1);
    *journal_ += reload ? 'F' : 'R';
  }
  bool active = true;

 private:
  std::string* journal_;
};

class RefreshCycleTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    RemoteSetDone = false;
    list_.Add(std::make_unique<JournalAdapter>(&journal_));
  }
  void TearDown() override {
    ResetSettings();
    RemoteSetDone = false;
  }
  // Runs 'ticks' ticks and returns what each one did, ticks separated by '|'.
  std::string Run(RefreshCycle& cycle, int ticks) {
    std::string all;
    for (int i = 0; i < ticks; ++i) {
      journal_.clear();
      cycle.Tick();
      all += (i ? "|" : "") + journal_;
    }
    return all;
  }
  std::string journal_;
  AdapterList list_;
};

TEST_F(RefreshCycleTest, RateFiveSamplesEveryFifthTick) {
  AppSettings().RefreshRate = 5;
  RefreshCycle cycle(list_);
  EXPECT_EQ(Run(cycle, 12), "B|B|B|B|BS|B|B|B|B|BS|B|B");
}

TEST_F(RefreshCycleTest, RateOneSamplesAndRedrawsEveryTick) {
  JournalPages pages(&journal_);
  RefreshCycle cycle(list_, &pages);
  EXPECT_EQ(Run(cycle, 3), "BSR|BSR|BSR");
}

TEST_F(RefreshCycleTest, RemoteSetReloadsTheActivePageBetweenRedraws) {
  AppSettings().RefreshRate = 3;
  JournalPages pages(&journal_);
  RefreshCycle cycle(list_, &pages);
  EXPECT_EQ(Run(cycle, 1), "B");
  RemoteSetDone = true;
  EXPECT_EQ(Run(cycle, 3), "BF|BSR|B");
  EXPECT_FALSE(RemoteSetDone);
}

TEST_F(RefreshCycleTest, WithoutAnActivePageTheRemoteFlagWaits) {
  JournalPages pages(&journal_);
  pages.active = false;
  RefreshCycle cycle(list_, &pages);
  RemoteSetDone = true;
  EXPECT_EQ(Run(cycle, 1), "BS");
  EXPECT_TRUE(RemoteSetDone);
  pages.active = true;
  EXPECT_EQ(Run(cycle, 1), "BFSR");
}

TEST_F(RefreshCycleTest, NewRateTakesEffectWhenTheCountdownRestarts) {
  AppSettings().RefreshRate = 2;
  RefreshCycle cycle(list_);
  EXPECT_EQ(Run(cycle, 1), "B");
  AppSettings().RefreshRate = 4;
  EXPECT_EQ(Run(cycle, 1), "BS");  // the running countdown ends first
  EXPECT_EQ(Run(cycle, 4), "B|B|B|BS");
  cycle.Tick();
  cycle.RestartCountdown();
  EXPECT_EQ(cycle.countdown(), 4);
}

TEST_F(RefreshCycleTest, EveryAdapterStartsACycleAndTheListCountsIt) {
  std::string other;
  list_.Add(std::make_unique<JournalAdapter>(&other));
  RefreshCycle cycle(list_);
  const uint64_t before = list_.RefreshCount();
  EXPECT_EQ(Run(cycle, 2), "BS|BS");  // the current adapter alone is sampled
  EXPECT_EQ(other, "BB");
  EXPECT_EQ(list_.RefreshCount(), before + 2);
}

TEST_F(RefreshCycleTest, EmptyListIsHarmless) {
  AdapterList empty;
  RefreshCycle cycle(empty);
  for (int i = 0; i < 3; ++i) cycle.Tick();
  EXPECT_EQ(cycle.countdown(), 1);
}

}  // namespace
}  // namespace quivera
