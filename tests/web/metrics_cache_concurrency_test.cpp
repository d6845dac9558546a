// The metrics' per-cycle copies: one driver request per reply block (and per
// statistic) and cycle however many scrapes come at once, every adapter read,
// and a stalled adapter that holds a scrape no longer than its wait and
// never holds up the other adapters.
#include "web/metrics_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "emulator/emulator_channel.h"
#include "web/fake_adapter.h"

namespace quivera {
namespace {

using namespace std::chrono_literals;

std::unique_ptr<DriverAdapter> EmulatedAdapter(const std::string& device,
                                               std::shared_ptr<ChannelRequestLog> log) {
  auto channel = std::make_unique<EmulatorChannel>(std::make_shared<Station>(), std::move(log));
  return std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA",
                                         "\\Device\\" + device);
}

TEST(MetricsCacheTest, EachRequestIsSentOncePerCycleWhateverTheScrapes) {
  AdapterList list;
  std::shared_ptr<ChannelRequestLog> logs[2];
  for (int i = 0; i < 2; ++i) {
    logs[i] = std::make_shared<ChannelRequestLog>();
    list.Add(EmulatedAdapter("korae" + std::to_string(i + 1), logs[i]));
  }
  MetricsCache cache(list, 5000ms);
  for (int cycle = 1; cycle <= 3; ++cycle) {
    list.BeginRefreshAll();
    std::vector<std::thread> scrapers;
    for (int t = 0; t < 6; ++t) {
      scrapers.emplace_back([&] {
        for (int s = 0; s < 10; ++s) {
          const std::vector<AdapterCopy> copies = cache.Snapshot();
          ASSERT_EQ(copies.size(), 2u);
          EXPECT_TRUE(copies[0].fresh && copies[1].fresh);
        }
      });
    }
    for (std::thread& t : scrapers) t.join();
    for (const auto& log : logs) {
      EXPECT_EQ(log->CountCode(kCodeMib), cycle);
      EXPECT_EQ(log->CountCode(kCodeCounters), cycle);
      EXPECT_EQ(log->CountOid(kOidGenXmitOk), cycle);
      EXPECT_EQ(log->CountOid(kOidGenDirectedBytesRcv), cycle) << "read once, sampled from the copy";
      EXPECT_EQ(log->CountCode(kCodeStatus), 0) << "nothing the metrics do not show";
    }
  }
  EXPECT_EQ(cache.reads(), 6u);
  const std::vector<AdapterCopy> copies = cache.Snapshot();
  EXPECT_EQ(copies[0].values->name, "korae1");
  EXPECT_EQ(copies[1].values->name, "korae2") << "not the current adapter, yet read";
}

TEST(MetricsCacheTest, AGatedAdapterGoesStaleAloneAndHoldsAScrapeOnlyForItsWait) {
  AdapterList list;
  auto owned = std::make_unique<GatedAdapter>();
  GatedAdapter* stalled = owned.get();
  stalled->SetU32(ManagementItem::SmtEcmState, 1);
  list.Add(std::move(owned));
  list.Add(EmulatedAdapter("korae2", std::make_shared<ChannelRequestLog>()));
  MetricsCache cache(list, 200ms);

  auto start = std::chrono::steady_clock::now();
  std::vector<AdapterCopy> copies = cache.Snapshot();
  const auto first_wait = std::chrono::steady_clock::now() - start;
  EXPECT_GE(first_wait, 150ms);
  EXPECT_LT(first_wait, 1500ms);
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_FALSE(copies[0].fresh);
  EXPECT_EQ(copies[0].values, nullptr) << "nothing read: nothing invented";
  EXPECT_TRUE(copies[1].fresh) << "the other adapter is not held up";

  // The same cycle's next scrapes do not wait again.
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(cache.Snapshot()[0].fresh);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);

  stalled->Open();
  ASSERT_TRUE([&] {
    for (int i = 0; i < 200; ++i) {
      if (cache.Snapshot()[0].fresh) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }());
  EXPECT_EQ(cache.Snapshot()[0].values->station[static_cast<size_t>(ManagementItem::SmtEcmState)],
            1u);
}

TEST(MetricsCacheTest, AnAdapterThatAnswersNothingIsNotUp) {
  AdapterList list;
  list.Add(std::make_unique<FakeAdapter>());  // every read fails
  MetricsCache cache(list, 2000ms);
  const std::vector<AdapterCopy> copies = cache.Snapshot();
  ASSERT_EQ(copies.size(), 1u);
  ASSERT_NE(copies[0].values, nullptr);
  EXPECT_FALSE(copies[0].values->answered);
  EXPECT_FALSE(copies[0].fresh);
}

}  // namespace
}  // namespace quivera
