// The test-mode adapter: its starting values, the stepping enumerations, the
// sets it accepts and refuses, and how its counters grow.
#include "adapter/simulated_adapter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace quivera {
namespace {

using I = ManagementItem;

uint32_t ReadU32(Adapter& a, I item, int index = 0) {
  uint32_t v = 0xDEADBEEF;
  size_t length = sizeof v;
  EXPECT_EQ(a.GetItem(item, &v, &length, index), 0) << static_cast<int>(item);
  return v;
}

uint64_t ReadU64(Adapter& a, I item, int index = 0) {
  uint32_t w[2] = {0, 0};
  size_t length = sizeof w;
  EXPECT_EQ(a.GetItem(item, w, &length, index), 0) << static_cast<int>(item);
  return static_cast<uint64_t>(w[0]) << 32 | w[1];
}

std::string ReadText(Adapter& a, I item) {
  char text[64];
  size_t length = sizeof text;
  EXPECT_EQ(a.GetItem(item, text, &length), 0);
  return std::string(text);
}

TEST(SimulatedAdapterTest, StartsWithItsFixedAndSettableValues) {
  SimulatedAdapter a;
  struct Case {
    I item;
    int index;
    uint32_t value;
  };
  const Case cases[] = {
      {I::SmtConnectionPolicy, 0, 0x8021},
      {I::PathMaxTReq, 0, 100000},
      {I::PathTMaxLowerBound, 0, 2062500},
      {I::PathTvxLowerBound, 0, 31250},
      {I::PortLerCutoff, 1, 7},
      {I::PortLerAlarm, 1, 8},
      {I::PortCount, 0, 1},
      {I::FramesTransmittedOk, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    EXPECT_EQ(ReadU32(a, c.item, c.index), c.value);
  }
  EXPECT_EQ(ReadU64(a, I::RingTokenTime), 443250u);
  EXPECT_EQ(ReadText(a, I::DeviceName), "KORAP-AA");

  // Per-port items answer for ports 0 and 1 only, fixed and stepping alike.
  for (I item : {I::PortLerEstimate, I::PortLedState, I::PortMyType, I::PortLerCutoff}) {
    for (int index : {-1, 2}) {
      uint32_t v = 0;
      size_t length = sizeof v;
      EXPECT_EQ(a.GetItem(item, &v, &length, index), 1) << static_cast<int>(item) << " " << index;
    }
  }
  EXPECT_EQ(ReadU32(a, I::PortMyType, 1), 0u);  // the refused reads took no step
}

TEST(SimulatedAdapterTest, RevisionsShowMostSignificantByteFirst) {
  SimulatedAdapter a;
  for (auto [item, shown] :
       {std::pair{I::HardwareRevision, "v1.1"}, std::pair{I::FirmwareRevision, "v1.0"}}) {
    uint8_t b[4];
    size_t length = sizeof b;
    ASSERT_EQ(a.GetItem(item, b, &length), 0);
    const char text[5] = {static_cast<char>(b[3]), static_cast<char>(b[2]), static_cast<char>(b[1]),
                          static_cast<char>(b[0]), 0};
    EXPECT_STREQ(text, shown);
  }
}

TEST(SimulatedAdapterTest, MulticastListHoldsTenAddresses) {
  SimulatedAdapter a;
  std::array<uint8_t, 64> list{};
  size_t length = list.size();
  ASSERT_EQ(a.GetItem(I::MacMulticastList, list.data(), &length), 0);
  EXPECT_EQ(length, 60u);
  length = 59;  // one address short
  EXPECT_EQ(a.GetItem(I::MacMulticastList, list.data(), &length), 1);
}

TEST(SimulatedAdapterTest, EnumerationsStepOncePerRead) {
  struct Case {
    I item;
    std::vector<uint32_t> reads;
  };
  const Case cases[] = {
      {I::SmtAvailablePaths, {1, 2, 3, 4, 5, 6, 7, 0, 1}},
      {I::SmtCfState, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}},
      {I::MacDupAddressTest, {0, 1, 2, 0}},
      {I::PortPcmState, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}},
      {I::ReceiveFilter, {1, 2, 4, 8, 16, 32, 64, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    SimulatedAdapter a;
    uint32_t v = 0;
    size_t length = 3;  // too small: refused, and no step is taken
    EXPECT_EQ(a.GetItem(c.item, &v, &length), 1);
    std::vector<uint32_t> reads;
    for (size_t i = 0; i < c.reads.size(); ++i) reads.push_back(ReadU32(a, c.item));
    EXPECT_EQ(reads, c.reads);
  }
}

TEST(SimulatedAdapterTest, SetsWithinRangeAreKeptOthersRefused) {
  struct Case {
    I item;
    uint32_t value;
    int index;
    int result;
    uint32_t read_back;
  };
  const Case cases[] = {
      {I::SmtConnectionPolicy, 0x0021, 0, 1, 0x8021},  // bit 0x8000 missing
      {I::SmtConnectionPolicy, 0x8003, 0, 0, 0x8003},
      {I::PathTMaxLowerBound, 124999, 0, 1, 2062500},
      {I::PathTMaxLowerBound, 125000, 0, 0, 125000},
      {I::PathTMaxLowerBound, 0x1FFFFF, 0, 0, 0x1FFFFF},
      {I::PathTMaxLowerBound, 0x200000, 0, 1, 0x1FFFFF},
      {I::PathMaxTReq, 49999, 0, 1, 100000},
      {I::PathMaxTReq, 50000, 0, 0, 50000},
      {I::PathTvxLowerBound, 65281, 0, 1, 31250},
      {I::PathTvxLowerBound, 65280, 0, 0, 65280},
      {I::PathTvxLowerBound, 0, 0, 0, 0},
      {I::PortLerCutoff, 3, 1, 1, 7},
      {I::PortLerCutoff, 4, 1, 0, 4},
      {I::PortLerAlarm, 16, 0, 1, 8},
      {I::PortLerAlarm, 15, 0, 0, 15},
      {I::MacRingPurgerEnable, 0, 0, 0, 0},
  };
  SimulatedAdapter a;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    SCOPED_TRACE(c.value);
    EXPECT_EQ(a.SetItem(c.item, &c.value, sizeof c.value, c.index), c.result);
    EXPECT_EQ(ReadU32(a, c.item, c.index), c.read_back);
  }
  // The other port kept its own values.
  EXPECT_EQ(ReadU32(a, I::PortLerCutoff, 0), 7u);
  EXPECT_EQ(ReadU32(a, I::PortLerAlarm, 1), 8u);

  const uint32_t five = 5;
  const uint32_t timers[3] = {31250, 2062500, 100000};
  EXPECT_EQ(a.SetItem(I::PortLerCutoff, &five, sizeof five, 2), 1);
  EXPECT_EQ(a.SetItem(I::PathTimers, timers, sizeof timers), 1);
  EXPECT_EQ(a.SetItem(I::MacTokensReceived, &five, sizeof five), 1);
  EXPECT_EQ(a.SetItem(I::SmtConnectionPolicy, &five, 2), 1);
}

TEST(SimulatedAdapterTest, UserDataKeepsAtMostThirtyTwoCharacters) {
  SimulatedAdapter a;
  const std::string longer(40, 'u');
  ASSERT_EQ(a.SetItem(I::SmtUserData, longer.c_str(), longer.size() + 1), 0);
  EXPECT_EQ(ReadText(a, I::SmtUserData), std::string(32, 'u'));
  ASSERT_EQ(a.SetItem(I::SmtUserData, "ring 7", 7), 0);
  EXPECT_EQ(ReadText(a, I::SmtUserData), "ring 7");
  char small[4];
  size_t length = sizeof small;
  EXPECT_EQ(a.GetItem(I::SmtUserData, small, &length), 1);
}

TEST(SimulatedAdapterTest, CountersGrowByTheirMaskedRandomAmounts) {
  SimulatedAdapter a([] { return 0xFFFFFFFFu; });  // every draw gives its mask
  a.BeginRefresh();
  a.BeginRefresh();
  EXPECT_EQ(ReadU32(a, I::FramesTransmittedOk), 2u * 0x7FFF);
  EXPECT_EQ(ReadU32(a, I::FramesReceivedOk), 2u * 0x7FFF);
  EXPECT_EQ(ReadU32(a, I::TransmitErrors), 30u);
  EXPECT_EQ(ReadU32(a, I::ReceiveCrcErrors), 30u);
  EXPECT_EQ(ReadU64(a, I::MacTokensReceived), 2u * 0xFFF);
  EXPECT_EQ(ReadU64(a, I::MacRingPurgeErrors), 2u);
  EXPECT_EQ(ReadU64(a, I::PortLemCounts, 1), 16u);
  EXPECT_EQ(ReadU32(a, I::DirectedBytesTransmitted),
            2u * static_cast<uint32_t>(0x7FFF * 50 * 0.75));
  EXPECT_EQ(ReadU32(a, I::MulticastBytesReceived), 2u * static_cast<uint32_t>(0x7FFF * 80 * 0.12));

  SimulatedAdapter quiet([] { return 0u; });
  quiet.BeginRefresh();
  EXPECT_EQ(ReadU32(quiet, I::FramesTransmittedOk), 0u);
}

TEST(SimulatedAdapterTest, UtilisationComesFromTheAccumulatedCounters) {
  ResetSettings();
  SimulatedAdapter a([] { return 0x100u; });
  a.SamplePerformance(1);
  a.BeginRefresh();
  a.SamplePerformance(1);
  EXPECT_EQ(ReadU32(a, I::FramesPerInterval), 0x200u);
  // 0x100 tokens of 443250 x 80 ns in one second would be 9 s of token
  // time: the figure stops at 0 %, never below.
  EXPECT_EQ(static_cast<int32_t>(ReadU32(a, I::TokenUtilization)), 0);
  SimulatedAdapter slow([] { return 0x10u; });
  slow.SamplePerformance(1);
  slow.BeginRefresh();
  slow.SamplePerformance(1);
  // 16 tokens x 0.03546 s in one second: 43 %.
  EXPECT_EQ(static_cast<int32_t>(ReadU32(slow, I::TokenUtilization)),
            static_cast<int32_t>((1 - 16 * 443250 * 80e-9) * 100));
}

TEST(SimulatedAdapterTest, NoDriverOperations) {
  SimulatedAdapter a;
  std::vector<uint8_t> image(kFirmwareBufferSize);
  EXPECT_EQ(a.CheckDriverVersion(), 0);
  EXPECT_EQ(a.FirmwarePrepare(), 1);
  EXPECT_EQ(a.FirmwareLoad(image.data(), image.size()), 1);
  EXPECT_EQ(a.FirmwareCommit(), 1);
  EXPECT_EQ(a.FirmwareStatus(), 0);
  EXPECT_EQ(a.Control(kControlReset), 1);
  std::array<uint8_t, 520> block{};
  for (I item : {I::ErrorLogEntry, I::DriverParameters, I::SerialNumber, I::PathTimers}) {
    size_t length = block.size();
    EXPECT_EQ(a.GetItem(item, block.data(), &length), 1);
  }
  EXPECT_EQ(a.SetItem(I::ErrorLogEntry, block.data(), 0), 1);
}

}  // namespace
}  // namespace quivera
