// The requests DriverAdapter sends, byte for byte, against a scripted driver:
// set records, flash writes, the driver version check, the station record
// sequence, firmware steps and control values.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "settings/settings.h"
#include "scripted_channel.h"

namespace quivera {
namespace {

using I = ManagementItem;
using testing::Expect;
using testing::ScriptedChannel;

std::vector<uint8_t> Word(uint32_t v) {
  std::vector<uint8_t> b(4);
  StoreU32(b.data(), v);
  return b;
}

class DriverAdapterRequestsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }

  void Script(std::vector<Expect> script) {
    auto channel = std::make_unique<ScriptedChannel>(std::move(script));
    channel_ = channel.get();
    adapter_ =
        std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korae1");
  }
  uint32_t SentWord(size_t request, size_t offset) const {
    return LoadU32(channel_->sent().at(request).data() + offset);
  }

  ScriptedChannel* channel_ = nullptr;
  std::unique_ptr<DriverAdapter> adapter_;
};

TEST_F(DriverAdapterRequestsTest, SetRecordsCarryOneEntryAndNoPort) {
  struct Case {
    I item;
    uint32_t value;
    int index;
    uint32_t attribute;
  };
  const Case cases[] = {
      {I::SmtConnectionPolicy, 0x8021, 0, kAttrSmtConnectionPolicy},
      {I::PortLerCutoff, 7, 1, kAttrPortLerCutoff},
      {I::PortLerAlarm, 8, 1, kAttrPortLerAlarm},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attribute);
    Script({{kOidManagementQuery, kCodeSetAttributes}});
    ASSERT_EQ(adapter_->SetItem(c.item, &c.value, sizeof c.value, c.index), 0);
    ASSERT_TRUE(channel_->Done());
    ASSERT_EQ(channel_->sent()[0].size(), kManagementBufferSize);
    const uint32_t expected[] = {32, 12, kCodeSetAttributes, c.attribute, c.value, 0, 0, 0, 0};
    for (size_t w = 0; w < std::size(expected); ++w) {
      EXPECT_EQ(SentWord(0, 4 * w), expected[w]) << "word " << w;
    }
  }
}

TEST_F(DriverAdapterRequestsTest, PathTimersTravelAsThreeEntriesInOrder) {
  Script({{kOidManagementQuery, kCodeSetAttributes}});
  const uint32_t timers[3] = {31250, 2062500, 100000};
  ASSERT_EQ(adapter_->SetItem(I::PathTimers, timers, sizeof timers), 0);
  const uint32_t expected[] = {64,
                               12,
                               kCodeSetAttributes,
                               kAttrPathTvxLowerBound,
                               31250,
                               0,
                               kAttrPathTMaxLowerBound,
                               2062500,
                               0,
                               kAttrPathMaxTReq,
                               100000,
                               0,
                               0,
                               0,
                               0};
  for (size_t w = 0; w < std::size(expected); ++w) {
    EXPECT_EQ(SentWord(0, 4 * w), expected[w]) << "word " << w;
  }
}

TEST_F(DriverAdapterRequestsTest, RefusedSetsSendNothing) {
  Script({});
  const std::vector<uint8_t> block(600, 0);
  struct Case {
    I item;
    size_t length;
  };
  const Case cases[] = {
      {I::SmtConnectionPolicy, 3}, {I::PathTimers, 11},        {I::PortLerCutoff, 0},
      {I::DriverParameters, 503},  {I::DriverParameters, 505}, {I::SerialNumber, 131},
      {I::SerialNumber, 504},      {I::SmtUserData, 32},       {I::MacCurrentAddress, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.item));
    EXPECT_EQ(adapter_->SetItem(c.item, block.data(), c.length), 1);
  }
  EXPECT_EQ(adapter_->SetItem(I::SmtConnectionPolicy, nullptr, 4), 1);
  EXPECT_TRUE(channel_->sent().empty());
}

TEST_F(DriverAdapterRequestsTest, FlashWritesPlaceTheBlockAfterTheHeader) {
  struct Case {
    I item;
    size_t length;
    uint32_t code;
  };
  const Case cases[] = {{I::DriverParameters, 504, kCodeWriteDriverParams},
                        {I::SerialNumber, 132, kCodeWriteSerialNumber}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Script({{kOidManagementQuery, static_cast<int>(c.code)}});
    std::vector<uint8_t> block(c.length);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i + 1);
    ASSERT_EQ(adapter_->SetItem(c.item, block.data(), block.size()), 0);
    const std::vector<uint8_t>& sent = channel_->sent()[0];
    ASSERT_EQ(sent.size(), kManagementBufferSize);
    EXPECT_EQ(SentWord(0, 0), c.length);
    EXPECT_EQ(SentWord(0, 4), 12u);
    EXPECT_EQ(SentWord(0, 8), c.code);  // over the block's first word
    EXPECT_TRUE(std::equal(block.begin() + 4, block.end(), sent.begin() + 12));
  }
  Script({{kOidManagementQuery, kCodeClearErrorLog}});
  ASSERT_EQ(adapter_->SetItem(I::ErrorLogEntry, nullptr, 0), 0);
  EXPECT_EQ(SentWord(0, 0), 4u);
  EXPECT_EQ(SentWord(0, 4), 12u);
}

TEST_F(DriverAdapterRequestsTest, QueriesCarryTheirShape) {
  struct Case {
    I item;
    int code;
    uint32_t param_length;
    uint32_t reply_length;
  };
  const Case cases[] = {
      {I::MacRingPurgerState, kCodeStatus, 4, 240},
      {I::MacTokensReceived, kCodeCounters, 4, 356},
      {I::MacLinkState, kCodeLink, 4, 80},
      {I::SmtEcmState, kCodeMib, 4, 476},
      {I::DriverParameters, kCodeDriverParams, 8, 508},
      {I::SerialNumber, kCodeSerialNumber, 8, 508},
      {I::ErrorLogEntry, kCodeErrorLog, 8, 508},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Script({{kOidManagementQuery, c.code}});
    std::array<uint8_t, 520> out{};
    size_t length = c.code == kCodeCounters ? 8 : 4;
    EXPECT_EQ(adapter_->GetItem(c.item, out.data(), &length, 3), 0);
    EXPECT_EQ(SentWord(0, 0), c.param_length);
    EXPECT_EQ(SentWord(0, 4), c.reply_length);
    if (c.code == kCodeErrorLog) {
      EXPECT_EQ(SentWord(0, 12), 3u);
    }
  }
}

TEST_F(DriverAdapterRequestsTest, DriverVersionCheck) {
  struct Case {
    const char* name;
    int rc;
    uint32_t vendor_id;
    int expected;
    size_t requests;
  };
  const Case cases[] = {
      {"top byte 1 is too old", 0, 0x01FFFFFF, 1, 1},
      {"top byte 2 is accepted", 0, 0x02000000, 0, 1},
      {"top byte 3 is accepted", 0, 0x03000001, 0, 1},
      {"failed query is too old", 1, 0x02000000, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Script({{kOidGenVendorId, -1, c.rc, Word(c.vendor_id)}});
    EXPECT_EQ(adapter_->CheckDriverVersion(), c.expected);
    EXPECT_EQ(channel_->sent().size(), c.requests);
  }
}

TEST_F(DriverAdapterRequestsTest, StationRecordIsInitialisedOnce) {
  std::vector<uint8_t> initialised(StationIdRecord::kSize, 0);
  StoreU32(initialised.data() + 4, 1);
  Script({{kOidStationRecord, -1, 0, initialised}});
  EXPECT_EQ(adapter_->InitStationRecord(), 0);
  EXPECT_TRUE(channel_->Done());

  std::vector<uint8_t> fresh(StationIdRecord::kSize, 0);
  fresh[100] = 0x5A;  // driver's own content, passed back unchanged
  Script({{kOidStationRecord, -1, 0, fresh},
          {kOidFddiLongPermanentAddr, -1, 0, {0x08, 0x00, 0x2B, 0x36, 0x45, 0xD7}},
          {kOidStationRecord}});
  EXPECT_EQ(adapter_->InitStationRecord(), 0);
  EXPECT_TRUE(channel_->Done());
  EXPECT_EQ(SentWord(0, 0), 0u);  // read
  const std::vector<uint8_t>& written = channel_->sent()[2];
  ASSERT_EQ(written.size(), StationIdRecord::kSize);
  EXPECT_EQ(SentWord(2, 0), 1u);  // write
  EXPECT_EQ(SentWord(2, 4), 1u);  // initialised
  EXPECT_EQ(written[8], 0x08);
  EXPECT_EQ(written[13], 0xD7);
  EXPECT_EQ(written[100], 0x5A);

  Script({{kOidStationRecord, -1, 0, fresh}, {kOidFddiLongPermanentAddr, -1, 1}});
  EXPECT_EQ(adapter_->InitStationRecord(), 1);
  Script({{kOidStationRecord, -1, 1}});
  EXPECT_EQ(adapter_->InitStationRecord(), 1);
}

TEST_F(DriverAdapterRequestsTest, FirmwareStatusRule) {
  struct Case {
    int rc;
    uint32_t reply;
    int expected;
  };
  const Case cases[] = {{0, 0x01000000, 1}, {0, 0x02FFFFFF, 2}, {0, 0x03000000, 3},
                        {0, 0x00000000, 3}, {0, 0x05000000, 1}, {1, 0x01000000, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    Script({{kOidFirmwareStatus, -1, c.rc, Word(c.reply)}});
    EXPECT_EQ(adapter_->FirmwareStatus(), c.expected);
  }
}

TEST_F(DriverAdapterRequestsTest, ControlActionsMapToControlValues) {
  const uint32_t values[] = {1, 2, 4, 0};
  for (int action = 0; action < 4; ++action) {
    Script({{kOidAdapterControl}});
    EXPECT_EQ(adapter_->Control(action), 0);
    EXPECT_EQ(SentWord(0, 0), values[action]);
  }
  Script({});
  EXPECT_EQ(adapter_->Control(4), 1);
  EXPECT_EQ(adapter_->Control(-1), 1);
  EXPECT_TRUE(channel_->sent().empty());
}

TEST_F(DriverAdapterRequestsTest, FirmwareStepsSendTheirOids) {
  std::vector<uint8_t> image(kFirmwareBufferSize, 0);
  Script({{kOidFirmwarePrepare}, {kOidFirmwareLoad}, {kOidFirmwareCommit}});
  EXPECT_EQ(adapter_->FirmwarePrepare(), 0);
  EXPECT_EQ(adapter_->FirmwareLoad(image.data(), image.size() - 1), 1);  // refused, not sent
  EXPECT_EQ(adapter_->FirmwareLoad(image.data(), image.size()), 0);
  EXPECT_EQ(adapter_->FirmwareCommit(), 0);
  EXPECT_TRUE(channel_->Done());
  EXPECT_EQ(channel_->sent()[1].size(), kFirmwareBufferSize);
}

}  // namespace
}  // namespace quivera
