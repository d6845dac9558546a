// One adapter's values for the metrics: the ports it reports, and the
// utilisation figures of the listener's own sample over the cycles between
// two reads.
#include "web/metrics_values.h"

#include <gtest/gtest.h>

#include <memory>

#include "web/fake_adapter.h"

namespace quivera {
namespace {

using I = ManagementItem;

TEST(MetricsValuesTest, PortsAsTheStationReportsThem) {
  struct Case {
    std::optional<uint32_t> port_count;
    int ports;
  };
  const Case cases[] = {{std::nullopt, 0}, {0, 0}, {1, 1}, {2, 2}, {7, 2}};
  for (const Case& c : cases) {
    AdapterList list;
    auto owned = std::make_unique<FakeAdapter>();
    if (c.port_count) owned->SetU32(I::PortCount, *c.port_count);
    owned->SetU64(I::PortLemCounts, 5, 0);
    owned->SetU64(I::PortLemCounts, 6, 1);
    list.Add(std::move(owned));
    AdapterMetricsReader reader;
    const AdapterMetrics m = reader.Read(list, 0, 1);
    EXPECT_EQ(m.port_count, c.ports);
    const MetricFamily* lem = nullptr;
    for (const MetricFamily& f : MetricFamilies()) {
      if (f.item == I::PortLemCounts) lem = &f;
    }
    ASSERT_NE(lem, nullptr);
    EXPECT_EQ(FamilyValue(m, *lem, 1).has_value(), c.ports == 2);
    EXPECT_FALSE(FamilyValue(m, *lem, 2).has_value());
  }
}

TEST(MetricsValuesTest, FiguresSpanTheCyclesBetweenReads) {
  AdapterList list;
  auto owned = std::make_unique<FakeAdapter>();
  FakeAdapter* adapter = owned.get();
  list.Add(std::move(owned));
  const char path[] = "\\Device\\korap3";
  adapter->SetBytes(I::DeviceName, std::vector<uint8_t>(path, path + sizeof path));
  adapter->SetU64(I::RingTokenTime, 1250);  // 100 us
  auto counters = [&](uint32_t frames, uint32_t bytes, uint64_t tokens) {
    adapter->SetU32(I::FramesTransmittedOk, frames);
    adapter->SetU32(I::FramesReceivedOk, frames);
    adapter->SetU32(I::DirectedBytesTransmitted, bytes);
    adapter->SetU64(I::MacTokensReceived, tokens);
  };
  AdapterMetricsReader reader;
  counters(1000, 0, 0);
  AdapterMetrics m = reader.Read(list, 0, 10);
  EXPECT_EQ(m.name, "korap3");
  EXPECT_TRUE(m.answered);
  EXPECT_FALSE(m.frames_per_second) << "one read gives no figures";
  EXPECT_FALSE(m.token_utilization);

  // Four cycles later: 4000 more frames each way, 2.5 MB sent, 20000 tokens
  // of 100 us in 4 s: the ring was free half the time.
  counters(5000, 2500000, 20000);
  m = reader.Read(list, 0, 14);
  ASSERT_TRUE(m.frames_per_second);
  EXPECT_DOUBLE_EQ(*m.frames_per_second, 2000);
  ASSERT_TRUE(m.byte_utilization);
  EXPECT_DOUBLE_EQ(*m.byte_utilization, 0.05) << "2.5 MB over 4 s of 100 Mbit/s";
  ASSERT_TRUE(m.token_utilization);
  EXPECT_DOUBLE_EQ(*m.token_utilization, 0.5);

  // A second read in the same cycle keeps the figures.
  counters(9000, 2500000, 20000);
  m = reader.Read(list, 0, 14);
  EXPECT_DOUBLE_EQ(*m.frames_per_second, 2000);
}

}  // namespace
}  // namespace quivera
