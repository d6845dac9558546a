// The sub-agent's per-cycle copy: one read of the driver per reply block and
// cycle however many lookups are made, every adapter read (not only the
// current one), and a slow driver that never holds a lookup past its wait.
#include "snmp/station_cache.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "emulator/emulator_channel.h"
#include "web/fake_adapter.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;

class StationCacheTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 2; ++i) {
      logs_[i] = std::make_shared<ChannelRequestLog>();
      auto channel = std::make_unique<EmulatorChannel>(std::make_shared<Station>(), logs_[i]);
      list_.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA",
                                                "\\Device\\korap1"));
    }
  }
  AdapterList list_;
  std::shared_ptr<ChannelRequestLog> logs_[2];
};

TEST_F(StationCacheTest, EachBlockIsAskedOncePerCycleWhateverTheLookups) {
  StationCache cache(list_, 2000ms);
  for (int cycle = 1; cycle <= 3; ++cycle) {
    list_.BeginRefreshAll();
    for (int lookup = 0; lookup < 50; ++lookup) ASSERT_FALSE(cache.View()->entries().empty());
    for (const auto& log : logs_) {
      EXPECT_EQ(log->CountCode(kCodeMib), cycle);
      EXPECT_EQ(log->CountCode(kCodeCounters), cycle);
      EXPECT_EQ(log->CountOid(kOidFddiLongCurrentAddr), cycle);
    }
  }
  EXPECT_EQ(cache.reads(), 3u);
  // After a set the next lookup reads again, within the same cycle.
  cache.Invalidate();
  cache.View();
  EXPECT_EQ(cache.reads(), 4u);
  // The second adapter was never current, yet it is read (above) and served.
  EXPECT_NE(cache.View()->Find(OidSuffix{1, 2, 1, 1, 2}), nullptr);
}

TEST(StationCacheSlowDriverTest, ALookupNeverWaitsLongerThanItsWait) {
  AdapterList list;
  auto owned = std::make_unique<GatedAdapter>();
  GatedAdapter* slow = owned.get();
  slow->SetU32(ManagementItem::SmtConnectionPolicy, 0x8021);
  list.Add(std::move(owned));
  {
    StationCache cache(list, 100ms);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(cache.View()->entries().empty());  // nothing read yet: nothing invented
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    // The same cycle's next lookups do not wait again.
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) cache.View();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);

    slow->Open();
    ASSERT_TRUE([&] {
      for (int i = 0; i < 100; ++i) {
        if (cache.reads() == 1) return true;
        std::this_thread::sleep_for(10ms);
      }
      return false;
    }());
    const MibEntry* policy = cache.View()->Find(OidSuffix{1, 2, 1, 14, 1});
    ASSERT_NE(policy, nullptr);
    EXPECT_EQ(policy->value.number, 0x8021);
  }
}

}  // namespace
}  // namespace quivera
