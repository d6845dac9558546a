// Two threads on one adapter list, as the user-interface thread and the
// hypertext server use it: one refreshes and reads like a page, the other
// reads, sets and switches the current adapter like remote requests. Every
// operation must be atomic towards the other thread: no data race, and no
// value read half from one reply and half from the next.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/discovery.h"
#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "adapter/simulated_adapter.h"
#include "adapter/thread_stop.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {
namespace {

using I = ManagementItem;

constexpr int kRounds = 2000;

// A station whose tokens counter moves on with every request, both words set
// to the same number so a torn read would show.
std::shared_ptr<Station> LiveStation() {
  auto station = std::make_shared<Station>();
  station->SetBlockU32(kCodeMib, 0x50, 1);
  station->SetBlockU32(kCodeMib, 0x54, 1);
  station->SetOidU32(kOidGenXmitOk, 0);
  station->before_request = [n = uint32_t{0}](Station& s, uint32_t, int) mutable {
    ++n;
    s.SetBlockU32(kCodeCounters, 0x164, n);
    s.SetBlockU32(kCodeCounters, 0x168, n);
    s.SetOidU32(kOidGenXmitOk, n);
  };
  return station;
}

TEST(AdapterListConcurrencyTest, PageAndServerThreadsShareTheList) {
  AdapterList list;
  std::vector<std::shared_ptr<ChannelRequestLog>> logs;
  for (int i = 0; i < 3; ++i) {
    auto channel = std::make_unique<EmulatorChannel>(LiveStation());
    logs.push_back(channel->log());
    list.Add(
        std::make_unique<DriverAdapter>(std::move(channel), DosDeviceName(i), "\\Device\\korap1"));
  }
  list.Add(std::make_unique<SimulatedAdapter>([] { return 7u; }));

  std::atomic<int> torn{0};
  std::atomic<int> failed{0};
  const auto check_tokens = [&] {
    uint32_t words[2] = {0, 0};
    size_t length = sizeof words;
    if (list.GetItem(I::MacTokensReceived, words, &length) != 0) {
      ++failed;
    } else if (words[0] != words[1] && words[0] != 0) {  // the simulation has no high word
      ++torn;
    }
  };

  std::thread page([&] {
    for (int round = 0; round < kRounds; ++round) {
      list.BeginRefresh();
      check_tokens();
      uint32_t v = 0;
      if (GetU32(list, I::PortCount, &v) != 0) ++failed;
      GetU32(list, I::SmtConnectionPolicy, &v);
      GetU32(list, I::FramesTransmittedOk, &v);
      list.SamplePerformance(1);
      GetU32(list, I::FramesPerInterval, &v);
    }
  });
  std::thread server([&] {
    for (int round = 0; round < kRounds; ++round) {
      list.SetCurrent(round % list.Count());
      check_tokens();
      uint64_t tokens = 0;
      GetU64(list, I::MacTokensReceived, &tokens);
      const uint32_t policy = 0x8000u | static_cast<uint32_t>(round & 0x3F);
      list.SetItem(I::SmtConnectionPolicy, &policy, sizeof policy);
      list.CurrentIndex();
    }
  });
  page.join();
  server.join();

  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(failed.load(), 0);
  size_t requests = 0;
  for (const auto& log : logs) requests += log->Count();
  EXPECT_GT(requests, 0u);
}

// An adapter whose reads hang until released, as on a stopped driver; it
// tells when a read has begun and which adapter answered a read.
class HangingAdapter : public Adapter {
 public:
  explicit HangingAdapter(uint32_t id) : id_(id) {}
  int GetItem(ManagementItem, void* buffer, size_t* length, int) override {
    std::unique_lock<std::mutex> lock(mutex_);
    ++reads_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !hang_; });
    std::memcpy(buffer, &id_, sizeof id_);
    *length = sizeof id_;
    return 0;
  }
  int SetItem(ManagementItem, const void*, size_t, int) override { return 0; }
  int Control(int action) override {
    last_control_ = action;
    return 0;
  }
  void Hang(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    hang_ = on;
    changed_.notify_all();
  }
  void WaitForRead() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return reads_ > 0; });
  }
  int last_control() const { return last_control_; }

 private:
  const uint32_t id_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool hang_ = false;
  int reads_ = 0;
  std::atomic<int> last_control_{-1};
};

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class HangingListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t id = 0; id < 2; ++id) {
      auto adapter = std::make_unique<HangingAdapter>(id);
      adapters_.push_back(adapter.get());
      list_.Add(std::move(adapter));
    }
  }
  void TearDown() override {
    for (HangingAdapter* a : adapters_) a->Hang(false);
  }
  // Starts a read of adapter 0 that hangs; the future holds its result.
  std::future<int> HangingRead() {
    adapters_[0]->Hang(true);
    auto read = std::async(std::launch::async, [this] {
      uint32_t v = 0;
      return GetU32(list_, I::SmtEcmState, &v);
    });
    adapters_[0]->WaitForRead();
    return read;
  }

  AdapterList list_;
  std::vector<HangingAdapter*> adapters_;
};

TEST_F(HangingListTest, HungAdapterHoldsUpNoOtherAdapterNorASwitch) {
  std::future<int> hung = HangingRead();
  const Clock::time_point start = Clock::now();
  ASSERT_EQ(list_.SetCurrent(1), 0);
  uint32_t v = 9;
  EXPECT_EQ(GetU32(list_, I::SmtEcmState, &v), 0);
  EXPECT_EQ(v, 1u);
  EXPECT_EQ(list_.CurrentIndex(), 1);
  EXPECT_LT(SecondsSince(start), 0.5);
  adapters_[0]->Hang(false);
  EXPECT_EQ(hung.get(), 0);
}

TEST_F(HangingListTest, StopRequestEndsTheWaitForABusyAdapter) {
  std::future<int> hung = HangingRead();
  std::atomic<bool> running{true};
  auto waiter = std::async(std::launch::async, [&] {
    const ThreadStopScope scope(running);
    uint32_t v = 0;
    return GetU32(list_, I::SmtEcmState, &v);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const Clock::time_point start = Clock::now();
  running = false;
  ASSERT_EQ(waiter.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_EQ(waiter.get(), 1);
  EXPECT_LT(SecondsSince(start), 0.5);
  adapters_[0]->Hang(false);
  EXPECT_EQ(hung.get(), 0);
}

TEST_F(HangingListTest, PinnedThreadKeepsItsAdapterAcrossAnotherThreadsSwitch) {
  uint32_t v = 9;
  {
    const AdapterList::Pin pin(list_);  // adapter 0
    std::thread([this] { list_.SetCurrent(1); }).join();
    EXPECT_EQ(list_.CurrentIndex(), 0);
    EXPECT_EQ(GetU32(list_, I::SmtEcmState, &v), 0);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(list_.Control(kControlReset), 0);
    EXPECT_EQ(adapters_[0]->last_control(), kControlReset);
    EXPECT_EQ(adapters_[1]->last_control(), -1);
    // The thread's own switch takes its pin along.
    {
      const AdapterList::Pin inner(list_, 0);
      ASSERT_EQ(list_.SetCurrent(1), 0);
      EXPECT_EQ(list_.CurrentIndex(), 1);
    }
    EXPECT_EQ(list_.CurrentIndex(), 0);
  }
  EXPECT_EQ(list_.CurrentIndex(), 1);
  EXPECT_EQ(GetU32(list_, I::SmtEcmState, &v), 0);
  EXPECT_EQ(v, 1u);
}

}  // namespace
}  // namespace quivera
