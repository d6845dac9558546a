#include "emulator/default_station.h"

#include <gtest/gtest.h>

#include <cstring>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "emulator/emulator_channel.h"
#include "emulator_test_util.h"

namespace quivera {
namespace {

struct Word {
  uint32_t code;
  size_t offset;
  uint32_t value;
  const char* what;
};

TEST(DefaultStationTest, ManagementBlocksHoldARunningDualAttachedStation) {
  Station station;
  LoadDefaultStation(station, "korap1");
  const Word words[] = {
      {kCodeMib, 0x50, 2, "ports (non-master)"},
      {kCodeMib, 0x54, 0, "ports (master)"},
      {kCodeMib, 0x58, 3, "available paths"},
      {kCodeMib, 0x64, 0x8021, "connection policy"},
      {kCodeMib, 0x78, 1, "ECM in"},
      {kCodeMib, 0x7C, 12, "CF thru"},
      {kCodeMib, 0xFC, 2, "RMT ring_op"},
      {kCodeMib, 0xE4, 100000, "T-Req"},
      {kCodeMib, 0xEC, 2062500, "T-Max"},
      {kCodeMib, 0xF0, 31250, "TVX"},
      {kCodeMib, 0x144, 0, "port 0 type A"},
      {kCodeMib, 0x148, 1, "port 1 type B"},
      {kCodeMib, 0x14C, 1, "port 0 neighbour B"},
      {kCodeMib, 0x150, 0, "port 1 neighbour A"},
      {kCodeMib, 0x1A4, 7, "port 0 LER cutoff"},
      {kCodeMib, 0x1A8, 7, "port 1 LER cutoff"},
      {kCodeMib, 0x1AC, 8, "port 0 LER alarm"},
      {kCodeMib, 0x1B4, 3, "port 0 connect active"},
      {kCodeMib, 0x1BC, 8, "port 0 PCM active"},
      {kCodeMib, 0x1E0, 1250, "token time, low word"},
      {kCodeStatus, 0x44, 1, "ring purger enabled"},
      {kCodeStatus, 0xE4, 0x332E3130, "firmware 3.10"},
      {kCodeStatus, 0xEC, 3, "port 0 LED green"},
      {kCodeLink, 0x18, 5, "onRingRun"},
      {kCodeLink, 0x4C, 2, "full duplex disabled"},
  };
  for (const Word& w : words) {
    BlockReply reply = QueryBlock(station, w.code);
    ASSERT_EQ(reply.status, 0) << w.what;
    EXPECT_EQ(reply.U32(w.offset), w.value) << w.what;
  }
  // The revision words read most significant byte first.
  BlockReply status = QueryBlock(station, kCodeStatus);
  const uint32_t hardware = status.U32(0xE0);
  const char shown[] = {static_cast<char>(hardware >> 24), static_cast<char>(hardware >> 16),
                        static_cast<char>(hardware >> 8), static_cast<char>(hardware), 0};
  EXPECT_STREQ(shown, "B1.0");
}

TEST(DefaultStationTest, StandardQueriesAllAnswer) {
  Station station;
  LoadDefaultStation(station, "korae3");
  const uint32_t statistics[] = {0x00020101, 0x00020102, 0x00020103, 0x00020104, 0x00020105,
                                 0x0002020D, 0x00020201, 0x00020202, 0x00020203, 0x00020204,
                                 0x00020205, 0x00020206, 0x00020207, 0x00020208, 0x00020209,
                                 0x0002020A, 0x0002020B, 0x0002020C};
  for (uint32_t oid : statistics) {
    uint8_t word[4];
    size_t returned = 0;
    EXPECT_EQ(station.Handle(oid, word, sizeof(word), &returned), 0) << std::hex << oid;
    EXPECT_EQ(returned, 4u) << std::hex << oid;
  }
  struct Sized {
    uint32_t oid;
    size_t length;
  };
  const Sized sized[] = {{kOidGenVendorId, 4},         {kOidGenCurrentPacketFilter, 4},
                         {kOidGenMaximumTotalSize, 4}, {kOidFddiLongPermanentAddr, 6},
                         {kOidFddiLongCurrentAddr, 6}, {kOidFddiLongMulticastList, 30}};
  for (const Sized& s : sized) {
    uint8_t reply[64];
    size_t returned = 0;
    EXPECT_EQ(station.Handle(s.oid, reply, sizeof(reply), &returned), 0) << std::hex << s.oid;
    EXPECT_EQ(returned, s.length) << std::hex << s.oid;
  }
  char text[128] = {};
  size_t returned = 0;
  ASSERT_EQ(station.Handle(kOidGenVendorDescription, text, sizeof(text), &returned), 0);
  EXPECT_EQ(returned, std::strlen(text) + 1);
  EXPECT_NE(std::strstr(text, "KORAE"), nullptr);
  uint8_t word[4];
  ASSERT_EQ(station.Handle(kOidGenVendorId, word, sizeof(word), &returned), 0);
  EXPECT_EQ(LoadU32(word), 0x02000000u);
}

TEST(DefaultStationTest, DevicesHaveTheirOwnAddresses) {
  Station one;
  Station two;
  LoadDefaultStation(one, "korap1");
  LoadDefaultStation(two, "korap2");
  uint8_t a[6];
  uint8_t b[6];
  size_t returned = 0;
  ASSERT_EQ(one.Handle(kOidFddiLongPermanentAddr, a, 6, &returned), 0);
  ASSERT_EQ(two.Handle(kOidFddiLongPermanentAddr, b, 6, &returned), 0);
  EXPECT_NE(std::memcmp(a, b, 6), 0);
}

TEST(DefaultStationTest, CountersGrowBetweenQueries) {
  Station station;
  LoadDefaultStation(station, "korap1");
  BlockReply first = QueryBlock(station, kCodeCounters);
  BlockReply second = QueryBlock(station, kCodeCounters);
  EXPECT_GT(first.U32(0x164), 0u) << "token counter high word";
  EXPECT_GT(second.U64(0x164), first.U64(0x164));
  uint8_t before[4];
  uint8_t after[4];
  size_t returned = 0;
  ASSERT_EQ(station.Handle(kOidGenRcvOk, before, 4, &returned), 0);
  ASSERT_EQ(station.Handle(kOidGenRcvOk, after, 4, &returned), 0);
  EXPECT_GT(LoadU32(after), LoadU32(before));
}

TEST(DefaultStationTest, ErrorLogHoldsThreeEntriesAndOneErased) {
  Station station;
  LoadDefaultStation(station, "korap1");
  const uint32_t callers[] = {5, 1, 5};
  for (uint32_t entry = 0; entry < 3; ++entry) {
    BlockReply reply = QueryBlock(station, kCodeErrorLog, entry);
    ASSERT_EQ(reply.status, 0);
    EXPECT_EQ(reply.U32(16), 0u) << "entry " << entry << " valid";
    EXPECT_EQ(reply.U32(24), callers[entry]) << "entry " << entry;
    EXPECT_NE(reply.U32(28), 0u) << "timestamp";
  }
  BlockReply hardware_fault = QueryBlock(station, kCodeErrorLog, 0);
  EXPECT_EQ(hardware_fault.U32(72), 4u) << "halt code";
  EXPECT_EQ(hardware_fault.U32(76), 0x0Cu) << "fault type";
  EXPECT_NE(hardware_fault.U32(80), 0u) << "failed PC";
  EXPECT_NE(QueryBlock(station, kCodeErrorLog, 3).U32(16), 0u);
}

TEST(DefaultStationTest, FlashAreasAreReadable) {
  Station station;
  LoadDefaultStation(station, "korap1");
  BlockReply params = QueryBlock(station, kCodeDriverParams);
  ASSERT_EQ(params.status, 0);
  EXPECT_NE(params.U32(20), 0u);
  BlockReply serial = QueryBlock(station, kCodeSerialNumber);
  ASSERT_EQ(serial.status, 0);
  uint8_t permanent[6];
  size_t returned = 0;
  ASSERT_EQ(station.Handle(kOidFddiLongPermanentAddr, permanent, 6, &returned), 0);
  EXPECT_EQ(std::memcmp(serial.bytes.data() + 20, permanent, 6), 0);
}

TEST(LiveCountersTest, GrowWithTimeAndPinnedValuesStay) {
  LiveCounters::Clock::time_point now{};
  LiveCounters live([&now] { return now; });
  live.AddDefaultCounters("korap1");
  Station station;
  live.Advance(station);
  const uint64_t tokens = QueryBlock(station, kCodeCounters).U64(0x164);
  const uint64_t lem = QueryBlock(station, kCodeCounters).U64(0x134);

  // No time passed: busy counters still step, slow ones do not.
  live.Advance(station);
  EXPECT_EQ(QueryBlock(station, kCodeCounters).U64(0x164), tokens + 1);
  EXPECT_EQ(QueryBlock(station, kCodeCounters).U64(0x134), lem);

  // 100 s later: 5200 tokens/s, 0.05 LEM errors/s.
  now += std::chrono::seconds(100);
  live.Advance(station);
  EXPECT_EQ(QueryBlock(station, kCodeCounters).U64(0x164), tokens + 1 + 520000);
  EXPECT_EQ(QueryBlock(station, kCodeCounters).U64(0x134), lem + 5);

  station.SetBlockU32(kCodeCounters, 0x168, 42);
  live.PinBlockBytes(kCodeCounters, 0x168, 4);
  station.SetOidU32(kOidGenXmitOk, 7);
  live.PinOid(kOidGenXmitOk);
  now += std::chrono::seconds(10);
  live.Advance(station);
  EXPECT_EQ(QueryBlock(station, kCodeCounters).U32(0x168), 42u);
  uint8_t word[4];
  size_t returned = 0;
  ASSERT_EQ(station.Handle(kOidGenXmitOk, word, 4, &returned), 0);
  EXPECT_EQ(LoadU32(word), 7u);
  EXPECT_EQ(QueryBlock(station, kCodeCounters).U64(0x134), lem + 5)
      << "half an error is not counted yet";
}

struct ItemValue {
  ManagementItem item;
  int index;
  uint32_t value;
};

// The adapter reads the values from where the default content puts them.
TEST(DefaultStationTest, TheDriverAdapterReadsAPlausibleStation) {
  auto station = std::make_shared<Station>();
  LoadDefaultStation(*station, "korap1");
  DriverAdapter adapter(std::make_unique<EmulatorChannel>(station), "QVAdapterA",
                        "\\Device\\korap1");
  EXPECT_EQ(adapter.CheckDriverVersion(), 0);
  using I = ManagementItem;
  const ItemValue items[] = {
      {I::PortCount, 0, 2},           {I::SmtEcmState, 0, 1},
      {I::SmtCfState, 0, 12},         {I::MacRmtState, 0, 2},
      {I::MacLinkState, 0, 5},        {I::PortMyType, 1, 1},
      {I::PortNeighborType, 1, 0},    {I::PortLerCutoff, 1, 7},
      {I::PortLedState, 0, 3},        {I::FirmwareRevision, 0, 0x332E3130},
      {I::MaximumTotalSize, 0, 4500},
  };
  for (const ItemValue& v : items) {
    uint32_t value = 0;
    size_t length = sizeof(value);
    ASSERT_EQ(adapter.GetItem(v.item, &value, &length, v.index), 0) << static_cast<int>(v.item);
    EXPECT_EQ(value, v.value) << static_cast<int>(v.item);
  }
  uint32_t tokens[2] = {};
  size_t length = sizeof(tokens);
  ASSERT_EQ(adapter.GetItem(I::MacTokensReceived, tokens, &length), 0);
  EXPECT_GT(tokens[0], 0u) << "high word first";
  uint8_t entry[520] = {};
  length = sizeof(entry);
  ASSERT_EQ(adapter.GetItem(I::ErrorLogEntry, entry, &length, 1), 0);
  EXPECT_EQ(LoadU32(entry + 24), 1u) << "caller: normal self-test";
}

TEST(DefaultStationTest, DeviceNames) {
  const char* good[] = {"korae1", "korae9", "korap1", "korap9"};
  const char* bad[] = {"korap0", "korap10", "korax1", "KORAP1", "korap", "", "eth0"};
  for (const char* name : good) EXPECT_TRUE(IsEmulatedDevice(name)) << name;
  for (const char* name : bad) EXPECT_FALSE(IsEmulatedDevice(name)) << name;
}

}  // namespace
}  // namespace quivera
