// The window's reads through the background fetch: they never wait on a
// driver or on an adapter another thread holds, they still send one request
// per reply block per refresh cycle, values that arrive are announced once,
// and writes run on the lane with their result handed back to the window.
// The test thread plays the window's thread: it reads inside a NoWaitScope
// and runs what the fetch posts.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "adapter/adapter_list.h"
#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/no_wait_scope.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

using I = ManagementItem;
using Clock = std::chrono::steady_clock;

// What the window's thread may spend on one read: far above what a busy
// machine under a sanitizer takes for a read that does not wait, far below
// the gate, which holds until the test opens it.
constexpr auto kWindowBound = std::chrono::milliseconds(500);
// How long a test waits for something the lanes do.
constexpr auto kPatience = std::chrono::seconds(10);

constexpr uint32_t kPolicy = 0x0123;
constexpr size_t kPolicyOffset = 0x64;  // in the MIB reply block

// Holds requests while closed, as a stopped driver does.
class Gate {
 public:
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
  }
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    --waiting_;
  }
  // Waits until a request is held at the gate.
  bool WaitForHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kPatience, [this] { return waiting_ > 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = true;
  int waiting_ = 0;
};

// One emulated adapter behind a gate, the fetch started with a post queue
// the test runs as the window's event loop would.
class BackgroundFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    station_ = std::make_shared<Station>();
    station_->SetBlockU32(kCodeMib, kPolicyOffset, kPolicy);
    station_->SetBlockU32(kCodeMib, 0x50, 1);  // one port in each half of the sum
    station_->SetBlockU32(kCodeMib, 0x54, 1);
    station_->before_request = [gate = gate_](Station&, uint32_t, int) { gate->Pass(); };
    auto channel = std::make_unique<EmulatorChannel>(station_);
    log_ = channel->log();
    list_.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
    list_.StartBackgroundFetch(
        [this](std::function<void()> fn) {
          std::lock_guard<std::mutex> lock(posted_mutex_);
          posted_.push_back(std::move(fn));
          posted_changed_.notify_all();
        },
        [this] { ++arrivals_; });
  }
  void TearDown() override {
    gate_->Open();
    list_.StopBackgroundFetch();
  }

  // Runs what was posted, waiting for at least one post first.
  bool RunPosted() {
    std::deque<std::function<void()>> run;
    {
      std::unique_lock<std::mutex> lock(posted_mutex_);
      if (!posted_changed_.wait_for(lock, kPatience, [this] { return !posted_.empty(); })) {
        return false;
      }
      run.swap(posted_);
    }
    for (auto& fn : run) fn();
    return true;
  }

  // A window read of the connection policy, timed.
  int ReadPolicy(uint32_t* value, Clock::duration* took) {
    const NoWaitScope window;
    const Clock::time_point start = Clock::now();
    const int result = GetU32(list_, I::SmtConnectionPolicy, value);
    *took = Clock::now() - start;
    return result;
  }

  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
  std::shared_ptr<Station> station_;
  std::shared_ptr<ChannelRequestLog> log_;
  AdapterList list_;
  std::mutex posted_mutex_;
  std::condition_variable posted_changed_;
  std::deque<std::function<void()>> posted_;
  int arrivals_ = 0;
};

// Who holds up the driver while the window reads: the lane's own fetch, or
// another thread (the hypertext worker) in the middle of a request.
enum class Holder { kLane, kOtherThread };

TEST_F(BackgroundFetchTest, WindowReadsReturnAtOnceWhateverHoldsTheDriver) {
  for (const Holder holder : {Holder::kLane, Holder::kOtherThread}) {
    SCOPED_TRACE(holder == Holder::kLane ? "lane" : "other thread");
    list_.BeginRefreshAll();
    gate_->Close();
    std::thread other;
    if (holder == Holder::kOtherThread) {
      other = std::thread([this] {
        uint32_t policy = 0;
        GetU32(list_, I::SmtConnectionPolicy, &policy);  // waits at the gate
      });
      ASSERT_TRUE(gate_->WaitForHeld());
    }
    const uint64_t missing = list_.NotYetFetched();
    for (int i = 0; i < 20; ++i) {
      uint32_t policy = 0;
      Clock::duration took{};
      ReadPolicy(&policy, &took);
      EXPECT_LT(took, kWindowBound);
    }
    EXPECT_EQ(list_.NotYetFetched(), missing + 20);

    gate_->Open();
    if (other.joinable()) other.join();
    ASSERT_TRUE(RunPosted());  // the arrival
    uint32_t policy = 0;
    Clock::duration took{};
    EXPECT_EQ(ReadPolicy(&policy, &took), 0);
    EXPECT_EQ(policy, kPolicy);
    EXPECT_EQ(list_.NotYetFetched(), missing + 20) << "this cycle's value is there now";
  }
}

TEST_F(BackgroundFetchTest, OneRequestPerBlockPerCycleHoweverManyReadsAndReaders) {
  for (int cycle = 1; cycle <= 3; ++cycle) {
    list_.BeginRefreshAll();
    {
      const NoWaitScope window;
      uint32_t value = 0;
      for (int i = 0; i < 10; ++i) {
        GetU32(list_, I::SmtConnectionPolicy, &value);
        GetU32(list_, I::SmtAvailablePaths, &value);
        GetU32(list_, I::PortCount, &value);
      }
    }
    // Values arrive in one announcement or a few, never one per read.
    while (list_.NotYetFetched() > 0 && log_->CountCode(kCodeMib) < cycle) {
      ASSERT_TRUE(RunPosted());
    }
    // A reader that waits (the hypertext worker) in the same cycle shares
    // the block.
    std::thread server([this] {
      uint32_t paths = 0;
      GetU32(list_, I::SmtAvailablePaths, &paths);
    });
    server.join();
    EXPECT_EQ(log_->CountCode(kCodeMib), cycle);
  }
  // Nothing read the counters or the link: their blocks were never asked for.
  EXPECT_EQ(log_->CountCode(kCodeCounters), 0);
  EXPECT_EQ(log_->CountCode(kCodeLink), 0);
  EXPECT_LE(arrivals_, 9);
}

TEST_F(BackgroundFetchTest, AnEarlierCycleValueStandsUntilThisCyclesArrives) {
  uint32_t policy = 0;
  Clock::duration took{};
  EXPECT_EQ(ReadPolicy(&policy, &took), 1) << "nothing fetched yet";
  EXPECT_EQ(list_.NotYetAvailable(), 1u);
  ASSERT_TRUE(RunPosted());
  ASSERT_EQ(ReadPolicy(&policy, &took), 0);

  station_->SetBlockU32(kCodeMib, kPolicyOffset, 0x0456);
  list_.BeginRefreshAll();
  gate_->Close();
  const uint64_t missing = list_.NotYetFetched();
  EXPECT_EQ(ReadPolicy(&policy, &took), 0);
  EXPECT_EQ(policy, kPolicy) << "the last cycle's value, while this one's is asked for";
  EXPECT_EQ(list_.NotYetFetched(), missing + 1);
  EXPECT_EQ(list_.NotYetAvailable(), 1u);
  gate_->Open();
  ASSERT_TRUE(RunPosted());
  EXPECT_EQ(ReadPolicy(&policy, &took), 0);
  EXPECT_EQ(policy, 0x0456u);
}

TEST_F(BackgroundFetchTest, AWriteRunsOnTheLaneAndItsPageSeesTheNewValue) {
  uint32_t policy = 0;
  Clock::duration took{};
  ReadPolicy(&policy, &took);
  ASSERT_TRUE(RunPosted());

  // The write waits on a stopped driver, not the window.
  gate_->Close();
  int result = -1;
  uint64_t missing = 0;
  const Clock::time_point start = Clock::now();
  list_.RunThen(
      0,
      [](Adapter& adapter) {
        const uint32_t wanted = 0x0777;
        return adapter.SetItem(I::SmtConnectionPolicy, &wanted, sizeof wanted);
      },
      [&](int r) {
        result = r;
        // Drawn from here, the page finds the adapter's new value kept.
        missing = list_.NotYetFetched();
        ReadPolicy(&policy, &took);
      });
  EXPECT_LT(Clock::now() - start, kWindowBound);
  gate_->Open();
  ASSERT_TRUE(RunPosted());
  EXPECT_EQ(result, 0);
  EXPECT_EQ(policy, 0x0777u);
  EXPECT_EQ(list_.NotYetFetched(), missing);

  // No such adapter: the outcome is a refusal, still delivered.
  list_.RunThen(5, [](Adapter&) { return 0; }, [&](int r) { result = r; });
  ASSERT_TRUE(RunPosted());
  EXPECT_EQ(result, 1);
}

TEST_F(BackgroundFetchTest, AChangeByAnotherThreadForgetsWhatWasKept) {
  uint32_t policy = 0;
  Clock::duration took{};
  ReadPolicy(&policy, &took);
  ASSERT_TRUE(RunPosted());
  ASSERT_EQ(ReadPolicy(&policy, &took), 0);

  std::thread server([this] {
    const uint32_t wanted = 0x0321;
    list_.SetItem(I::SmtConnectionPolicy, &wanted, sizeof wanted);
  });
  server.join();
  EXPECT_EQ(ReadPolicy(&policy, &took), 1) << "kept from before the change";
  ASSERT_TRUE(RunPosted());
  EXPECT_EQ(ReadPolicy(&policy, &took), 0);
  EXPECT_EQ(policy, 0x0321u);
}

TEST_F(BackgroundFetchTest, ACycleBeginsWithoutWaitingForABusyAdapter) {
  uint32_t policy = 0;
  ASSERT_EQ(GetU32(list_, I::SmtConnectionPolicy, &policy), 0);
  ASSERT_EQ(log_->CountCode(kCodeMib), 1);

  gate_->Close();
  std::thread holder([this] {
    list_.WithAdapter(0, [](Adapter& adapter) {
      return static_cast<DriverAdapter&>(adapter).FetchErrorLogBlock(0);  // held at the gate
    });
  });
  ASSERT_TRUE(gate_->WaitForHeld());
  const Clock::time_point start = Clock::now();
  list_.BeginRefreshAll();
  EXPECT_LT(Clock::now() - start, kWindowBound);
  const int before = log_->CountCode(kCodeMib);
  gate_->Open();
  holder.join();
  // The cycle begun meanwhile counts from the next operation on.
  ASSERT_EQ(GetU32(list_, I::SmtConnectionPolicy, &policy), 0);
  EXPECT_EQ(log_->CountCode(kCodeMib), before + 1);
}

TEST_F(BackgroundFetchTest, StopEndsALaneWaitingForABusyAdapter) {
  gate_->Close();
  std::thread holder([this] {
    uint32_t policy = 0;
    GetU32(list_, I::SmtConnectionPolicy, &policy);  // held at the gate
  });
  ASSERT_TRUE(gate_->WaitForHeld());
  uint32_t paths = 0;
  Clock::duration took{};
  ReadPolicy(&paths, &took);  // the lane now waits for the adapter
  const Clock::time_point start = Clock::now();
  list_.StopBackgroundFetch();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  gate_->Open();
  holder.join();
}

TEST_F(BackgroundFetchTest, OutsideTheScopeReadsAskTheAdapterThemselves) {
  uint32_t policy = 0;
  EXPECT_EQ(GetU32(list_, I::SmtConnectionPolicy, &policy), 0);
  EXPECT_EQ(policy, kPolicy);
  EXPECT_EQ(list_.NotYetFetched(), 0u);
}

}  // namespace
}  // namespace quivera
