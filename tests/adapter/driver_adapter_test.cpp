// DriverAdapter reads against the in-process station: where every item comes
// from, how many requests a refresh cycle sends, and what happens to bad
// lengths, indices and failed requests.
#include "adapter/driver_adapter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "adapter/management_request.h"
#include "settings/settings.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"
#include "scripted_channel.h"

namespace quivera {
namespace {

using I = ManagementItem;

class DriverAdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    station_ = std::make_shared<Station>();
    auto channel = std::make_unique<EmulatorChannel>(station_);
    log_ = channel->log();
    auto failing = std::make_unique<testing::FailingChannel>(std::move(channel));
    failing_ = failing.get();
    adapter_ =
        std::make_unique<DriverAdapter>(std::move(failing), "QVAdapterA", "\\Device\\korap1");
  }
  void TearDown() override { ResetSettings(); }

  uint32_t ReadU32(I item, int index = 0) {
    uint32_t v = 0xDEADBEEF;
    size_t length = sizeof v;
    EXPECT_EQ(adapter_->GetItem(item, &v, &length, index), 0);
    EXPECT_EQ(length, 4u);
    return v;
  }

  std::shared_ptr<Station> station_;
  std::shared_ptr<ChannelRequestLog> log_;
  testing::FailingChannel* failing_ = nullptr;
  std::unique_ptr<DriverAdapter> adapter_;
};

enum class Kind { kU32, kU64, kAddress };

struct OffsetCase {
  I item;
  int code;
  size_t offset;  // of the value read (port offsets already applied)
  Kind kind;
  int index;
};

constexpr OffsetCase kOffsetCases[] = {
    {I::SmtOpVersionId, kCodeMib, 0x1C, Kind::kU32, 0},
    {I::SmtAvailablePaths, kCodeMib, 0x58, Kind::kU32, 0},
    {I::SmtConnectionPolicy, kCodeMib, 0x64, Kind::kU32, 0},
    {I::SmtBypassPresent, kCodeMib, 0x74, Kind::kU32, 0},
    {I::SmtEcmState, kCodeMib, 0x78, Kind::kU32, 0},
    {I::SmtCfState, kCodeMib, 0x7C, Kind::kU32, 0},
    {I::MacCurrentPath, kCodeMib, 0xAC, Kind::kU32, 0},
    {I::MacUpstreamNeighbor, kCodeMib, 0xB0, Kind::kAddress, 0},
    {I::MacDownstreamNeighbor, kCodeMib, 0xB8, Kind::kAddress, 0},
    {I::MacDownstreamPortType, kCodeMib, 0xD8, Kind::kU32, 0},
    {I::MacDupAddressTest, kCodeMib, 0xD0, Kind::kU32, 0},
    {I::MacRmtState, kCodeMib, 0xFC, Kind::kU32, 0},
    {I::MacLinkState, kCodeLink, 0x18, Kind::kU32, 0},
    {I::MacRingPurgerState, kCodeStatus, 0x78, Kind::kU32, 0},
    {I::MacRingPurgerEnable, kCodeStatus, 0x44, Kind::kU32, 0},
    {I::MacRingErrorReason, kCodeStatus, 0x80, Kind::kU32, 0},
    {I::MacRingPurgeErrors, kCodeCounters, 0xDC, Kind::kU64, 0},
    {I::MacFciStripErrors, kCodeCounters, 0xE4, Kind::kU64, 0},
    {I::MacRingInitsInitiated, kCodeCounters, 0xB4, Kind::kU64, 0},
    {I::MacRingInitsReceived, kCodeCounters, 0xBC, Kind::kU64, 0},
    {I::MacRingBeaconingInitiated, kCodeCounters, 0xC4, Kind::kU64, 0},
    {I::MacAddressTestFailures, kCodeCounters, 0xCC, Kind::kU64, 0},
    {I::MacDuplicateTokens, kCodeCounters, 0xD4, Kind::kU64, 0},
    {I::MacTracesInitiated, kCodeCounters, 0xEC, Kind::kU64, 0},
    {I::MacFrameStatusErrors, kCodeCounters, 0x94, Kind::kU64, 0},
    {I::MacFrameAlignmentErrors, kCodeCounters, 0xFC, Kind::kU64, 0},
    {I::MacTransmitUnderruns, kCodeCounters, 0x7C, Kind::kU64, 0},
    {I::MacTokensReceived, kCodeCounters, 0x164, Kind::kU64, 0},
    {I::PathTReq, kCodeMib, 0xE4, Kind::kU32, 0},
    {I::PathTNeg, kCodeMib, 0xE8, Kind::kU32, 0},
    {I::PathTMax, kCodeMib, 0xEC, Kind::kU32, 0},
    {I::PathTvx, kCodeMib, 0xF0, Kind::kU32, 0},
    {I::PathTMaxLowerBound, kCodeMib, 0x13C, Kind::kU32, 0},
    {I::PathMaxTReq, kCodeMib, 0x140, Kind::kU32, 0},
    {I::PathTvxLowerBound, kCodeMib, 0x138, Kind::kU32, 0},
    {I::RingTokenTime, kCodeMib, 0x1DC, Kind::kU64, 0},
    {I::PortMyType, kCodeMib, 0x144, Kind::kU32, 0},
    {I::PortMyType, kCodeMib, 0x148, Kind::kU32, 1},
    {I::PortNeighborType, kCodeMib, 0x150, Kind::kU32, 1},
    {I::PortCurrentPath, kCodeMib, 0x168, Kind::kU32, 1},
    {I::PortPmdClass, kCodeMib, 0x188, Kind::kU32, 1},
    {I::PortLctFailures, kCodeCounters, 0x114, Kind::kU64, 0},
    {I::PortLctFailures, kCodeCounters, 0x11C, Kind::kU64, 1},
    {I::PortLerEstimate, kCodeMib, 0x1A0, Kind::kU32, 1},
    {I::PortLemRejects, kCodeCounters, 0x12C, Kind::kU64, 1},
    {I::PortLemCounts, kCodeCounters, 0x13C, Kind::kU64, 1},
    {I::PortLerCutoff, kCodeMib, 0x1A4, Kind::kU32, 0},
    {I::PortLerCutoff, kCodeMib, 0x1A8, Kind::kU32, 1},
    {I::PortLerAlarm, kCodeMib, 0x1B0, Kind::kU32, 1},
    {I::PortConnectState, kCodeMib, 0x1B8, Kind::kU32, 1},
    {I::PortPcmState, kCodeMib, 0x1C0, Kind::kU32, 1},
    {I::PortRejectReason, kCodeLink, 0x48, Kind::kU32, 1},
    {I::PortLedState, kCodeStatus, 0xF0, Kind::kU32, 1},
    {I::MacFullDuplexState, kCodeLink, 0x54, Kind::kU32, 0},
    {I::MacFullDuplexEnable, kCodeLink, 0x4C, Kind::kU32, 0},
    {I::HardwareRevision, kCodeStatus, 0xE0, Kind::kU32, 0},
    {I::FirmwareRevision, kCodeStatus, 0xE4, Kind::kU32, 0},
};

TEST_F(DriverAdapterTest, EveryBlockItemComesFromItsOffset) {
  for (const OffsetCase& c : kOffsetCases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    SCOPED_TRACE(c.index);
    // A value that names its own offset; distinct words so a neighbour's
    // offset would show.
    const uint32_t hi = 0xA0000000u | static_cast<uint32_t>(c.offset);
    const uint32_t lo = 0x50000000u | static_cast<uint32_t>(c.offset);
    ASSERT_EQ(station_->SetBlockU32(c.code, c.offset, hi), 0);
    ASSERT_EQ(station_->SetBlockU32(c.code, c.offset + 4, lo), 0);
    adapter_->BeginRefresh();

    std::array<uint8_t, 16> out;
    out.fill(0xCC);
    size_t length = c.kind == Kind::kU64 ? 8 : c.kind == Kind::kAddress ? 6 : 4;
    ASSERT_EQ(adapter_->GetItem(c.item, out.data(), &length, c.index), 0);
    uint32_t words[2];
    std::memcpy(words, out.data(), sizeof words);
    switch (c.kind) {
      case Kind::kU32:
        EXPECT_EQ(length, 4u);
        EXPECT_EQ(words[0], hi);
        EXPECT_EQ(out[4], 0xCC);
        break;
      case Kind::kU64:
        EXPECT_EQ(length, 8u);
        EXPECT_EQ(words[0], hi);  // the more significant word first
        EXPECT_EQ(words[1], lo);
        break;
      case Kind::kAddress:
        EXPECT_EQ(length, 6u);
        EXPECT_EQ(0, std::memcmp(out.data(), station_->Block(c.code).data() + c.offset, 6));
        EXPECT_EQ(out[6], 0xCC);
        break;
    }
  }
}

TEST_F(DriverAdapterTest, PortCountIsTheSumOfTwoWords) {
  station_->SetBlockU32(kCodeMib, 0x50, 1);
  station_->SetBlockU32(kCodeMib, 0x54, 1);
  EXPECT_EQ(ReadU32(I::PortCount), 2u);
}

TEST_F(DriverAdapterTest, OneRequestPerBlockPerCycleWhateverIsRead) {
  for (int cycle = 1; cycle <= 2; ++cycle) {
    adapter_->BeginRefresh();
    for (int reader = 0; reader < 3; ++reader) {
      for (const OffsetCase& c : kOffsetCases) {
        std::array<uint8_t, 8> out{};
        size_t length = out.size();
        ASSERT_EQ(adapter_->GetItem(c.item, out.data(), &length, c.index), 0);
      }
    }
    for (int code : {kCodeStatus, kCodeLink, kCodeMib, kCodeCounters}) {
      EXPECT_EQ(log_->CountCode(code), cycle) << "code " << code;
    }
  }
  EXPECT_EQ(log_->Count(), 8u);
}

TEST_F(DriverAdapterTest, FailedCachedBlockFailsEveryReaderOfTheCycle) {
  // One item of each cached block; the block's value is renewed between
  // cycles, so a stale value would show.
  struct Case {
    int code;
    I item;
    size_t offset;
  };
  const Case cases[] = {
      {kCodeStatus, I::MacRingPurgerEnable, 0x44},
      {kCodeCounters, I::MacRingPurgeErrors, 0xDC},  // the high word of a 64-bit counter
      {kCodeLink, I::MacLinkState, 0x18},
      {kCodeMib, I::SmtConnectionPolicy, 0x64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    SetUp();
    const auto read = [&](uint32_t* first_word) {
      uint32_t words[2] = {*first_word, 0};
      size_t length = sizeof words;
      const int rc = adapter_->GetItem(c.item, words, &length);
      *first_word = words[0];
      return rc;
    };
    station_->SetBlockU32(c.code, c.offset, 0x21);
    uint32_t v = 0;
    ASSERT_EQ(read(&v), 0);
    EXPECT_EQ(v, 0x21u);

    adapter_->BeginRefresh();
    station_->SetBlockU32(c.code, c.offset, 0x34);
    failing_->FailCode(c.code);
    failing_->ScribbleOnFailure(true);
    for (int reader = 0; reader < 3; ++reader) {
      v = 0xDEAD;
      EXPECT_EQ(read(&v), 1) << "reader " << reader;
      EXPECT_EQ(v, 0xDEADu) << "reader " << reader;  // the caller's buffer stays as it was
    }
    EXPECT_EQ(failing_->refused(), 1);  // one request for the cycle, however many readers

    failing_->FailCode(c.code, false);
    adapter_->BeginRefresh();
    ASSERT_EQ(read(&v), 0);
    EXPECT_EQ(v, 0x34u);
  }
}

TEST_F(DriverAdapterTest, ShortStandardRepliesAreFailedReads) {
  // A value cut short is no value; lists and texts may be as short as they are.
  struct Case {
    I item;
    uint32_t oid;
    size_t reply;     // bytes the driver returns
    size_t buffer;    // the caller's buffer
    int expected_rc;
  };
  const Case cases[] = {
      {I::MacCurrentAddress, kOidFddiLongCurrentAddr, 2, 6, 1},
      {I::MacCurrentAddress, kOidFddiLongCurrentAddr, 6, 6, 0},
      {I::MacPermanentAddress, kOidFddiLongPermanentAddr, 5, 6, 1},
      {I::FramesTransmittedOk, kOidGenXmitOk, 3, 4, 1},
      {I::FramesTransmittedOk, kOidGenXmitOk, 4, 8, 0},
      {I::MacMulticastList, kOidFddiLongMulticastList, 0, 600, 0},
      {I::VendorDescription, kOidGenVendorDescription, 3, 32, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    station_->SetOid(c.oid, std::vector<uint8_t>(c.reply, 0x41));
    std::vector<uint8_t> out(c.buffer, 0xAA);
    size_t length = out.size();
    EXPECT_EQ(adapter_->GetItem(c.item, out.data(), &length), c.expected_rc);
    if (c.expected_rc != 0) {
      EXPECT_EQ(out, std::vector<uint8_t>(c.buffer, 0xAA));
    }
  }
}

TEST_F(DriverAdapterTest, EverySetItemMakesTheNextReadFetchAgain) {
  struct Case {
    I item;
    std::vector<uint32_t> value;
    int result;
  };
  const Case cases[] = {
      {I::SmtConnectionPolicy, {0x8003}, 0},
      {I::PathTimers, {31250, 2062500, 100000}, 0},
      {I::PortLerCutoff, {9}, 0},
      {I::PortLerAlarm, {10}, 0},
      {I::SmtEcmState, {1}, 1},  // not settable: refused, still marks the block stale
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    adapter_->BeginRefresh();
    ReadU32(I::SmtConnectionPolicy);
    const int before = log_->CountCode(kCodeMib);
    EXPECT_EQ(adapter_->SetItem(c.item, c.value.data(), c.value.size() * 4), c.result);
    ReadU32(I::SmtConnectionPolicy);
    EXPECT_EQ(log_->CountCode(kCodeMib), before + 1);
  }
  // The station applied the sets, so the fresh reads show them.
  EXPECT_EQ(ReadU32(I::SmtConnectionPolicy), 0x8003u);
  EXPECT_EQ(ReadU32(I::PathTvxLowerBound), 31250u);
  EXPECT_EQ(ReadU32(I::PathTMaxLowerBound), 2062500u);
  EXPECT_EQ(ReadU32(I::PathMaxTReq), 100000u);
  EXPECT_EQ(ReadU32(I::PortLerCutoff, 1), 9u);
  EXPECT_EQ(ReadU32(I::PortLerAlarm, 0), 10u);
}

TEST_F(DriverAdapterTest, UnavailableItemsFailWithoutARequest) {
  for (int n : {40, 61, 62, 67, 69, 93, 95, 102, -1}) {
    SCOPED_TRACE(n);
    std::array<uint8_t, 520> out{};
    size_t length = out.size();
    EXPECT_EQ(adapter_->GetItem(static_cast<I>(n), out.data(), &length), 1);
  }
  EXPECT_EQ(log_->Count(), 0u);
}

// Calls that would read outside a block or write past the caller's buffer.
TEST_F(DriverAdapterTest, OutOfRangeLengthsAndIndicesNeverOverflow) {
  struct Case {
    I item;
    size_t length;
    int index;
  };
  const Case cases[] = {
      {I::SmtConnectionPolicy, 3, 0}, {I::MacTokensReceived, 7, 0},  {I::MacUpstreamNeighbor, 5, 0},
      {I::PortLerCutoff, 4, 2},       {I::PortLerCutoff, 4, -1},     {I::PortLemCounts, 8, 1000000},
      {I::PortCount, 3, 0},           {I::ErrorLogEntry, 521, 0},    {I::ErrorLogEntry, 16, 4},
      {I::ErrorLogEntry, 16, -1},     {I::DriverParameters, 521, 0}, {I::SerialNumber, 100000, 0},
      {I::DeviceName, 14, 0},  // "\Device\korap1" needs 15 with its NUL
      {I::VendorDescription, 0, 0},   {I::TokenUtilization, 3, 0},   {I::ByteUtilization, 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    std::vector<uint8_t> out(c.length + 16, 0xCC);
    size_t length = c.length;
    EXPECT_EQ(adapter_->GetItem(c.item, out.data(), &length, c.index), 1);
    EXPECT_EQ(length, c.length);
    for (uint8_t b : out) ASSERT_EQ(b, 0xCC);
  }
  // None of them reached the driver: lengths and indices are checked first.
  EXPECT_EQ(log_->Count(), 0u);
}

TEST_F(DriverAdapterTest, StandardQueriesReturnTheDriversReplyAndLength) {
  station_->SetOid(kOidFddiLongCurrentAddr, {0xAA, 0x00, 0x04, 0x12, 0x34, 0x56});
  station_->SetOid(kOidFddiLongMulticastList, std::vector<uint8_t>(18, 0x01));
  station_->SetOidU32(kOidGenRcvCrcError, 77);

  std::array<uint8_t, 64> out{};
  size_t length = out.size();
  ASSERT_EQ(adapter_->GetItem(I::MacCurrentAddress, out.data(), &length), 0);
  EXPECT_EQ(length, 6u);
  EXPECT_EQ(out[5], 0x56);
  length = out.size();
  ASSERT_EQ(adapter_->GetItem(I::MacMulticastList, out.data(), &length), 0);
  EXPECT_EQ(length, 18u);
  EXPECT_EQ(ReadU32(I::ReceiveCrcErrors), 77u);
  EXPECT_EQ(log_->CountOid(kOidGenRcvCrcError), 1);

  // A standard query is not cached: a second read asks again.
  EXPECT_EQ(ReadU32(I::ReceiveCrcErrors), 77u);
  EXPECT_EQ(log_->CountOid(kOidGenRcvCrcError), 2);

  // A failed query leaves the caller's buffer as it was.
  failing_->FailOid(kOidFddiLongCurrentAddr);
  failing_->ScribbleOnFailure(true);
  out.fill(0x11);
  length = out.size();
  EXPECT_EQ(adapter_->GetItem(I::MacCurrentAddress, out.data(), &length), 1);
  for (uint8_t b : out) ASSERT_EQ(b, 0x11);
}

TEST_F(DriverAdapterTest, TextsAreAlwaysTerminatedInsideTheBuffer) {
  station_->SetOid(kOidGenVendorDescription, {'F', 'D', 'D', 'I'});  // no NUL from the driver
  char text[8];
  std::memset(text, 'x', sizeof text);
  size_t length = sizeof text;
  ASSERT_EQ(adapter_->GetItem(I::VendorDescription, text, &length), 0);
  EXPECT_STREQ(text, "FDDI");

  std::memset(text, 'x', sizeof text);
  length = 4;  // the text fills the buffer: its last character gives way
  ASSERT_EQ(adapter_->GetItem(I::VendorDescription, text, &length), 0);
  EXPECT_STREQ(text, "FDD");
  EXPECT_EQ(text[4], 'x');

  char name[32];
  length = sizeof name;
  ASSERT_EQ(adapter_->GetItem(I::DeviceName, name, &length), 0);
  EXPECT_STREQ(name, "\\Device\\korap1");
  EXPECT_EQ(length, 15u);
  EXPECT_EQ(log_->CountOid(kOidGenVendorDescription), 2);
  EXPECT_EQ(log_->Count(), 2u);  // the device name needs no request
}

TEST_F(DriverAdapterTest, FlashBlocksKeepTheirOutcomeForTheCycle) {
  station_->SetBlock(kCodeDriverParams, 20, {1, 2, 3});
  std::array<uint8_t, 520> out{};
  for (int read = 0; read < 3; ++read) {
    size_t length = out.size();
    ASSERT_EQ(adapter_->GetItem(I::DriverParameters, out.data(), &length), 0);
    EXPECT_EQ(length, 520u);
  }
  EXPECT_EQ(out[20], 1);
  EXPECT_EQ(out[22], 3);
  EXPECT_EQ(log_->CountCode(kCodeDriverParams), 1);

  station_->FailBlock(kCodeSerialNumber);
  for (int read = 0; read < 2; ++read) {
    size_t length = out.size();
    EXPECT_EQ(adapter_->GetItem(I::SerialNumber, out.data(), &length), 1);
  }
  EXPECT_EQ(log_->CountCode(kCodeSerialNumber), 1);

  station_->FailBlock(kCodeSerialNumber, false);
  adapter_->BeginRefresh();
  size_t length = 8;
  ASSERT_EQ(adapter_->GetItem(I::SerialNumber, out.data(), &length), 0);
  EXPECT_EQ(LoadU32(out.data()), 508u);  // the bytes the driver returned, over word 0
}

TEST_F(DriverAdapterTest, ErrorLogEntriesAreFetchedOnEveryRead) {
  station_->SetErrorLog(2, 24, {0x42});
  std::array<uint8_t, 520> out{};
  for (int read = 0; read < 2; ++read) {
    size_t length = out.size();
    ASSERT_EQ(adapter_->GetItem(I::ErrorLogEntry, out.data(), &length, 2), 0);
  }
  EXPECT_EQ(out[24], 0x42);
  EXPECT_EQ(log_->CountCode(kCodeErrorLog), 2);
}

}  // namespace
}  // namespace quivera
