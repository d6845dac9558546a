// The emulated station's driver side: every request of the set, answered in
// the layouts the adapter reads, and requests whose buffers are too small.
#include "emulator/station.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "adapter/management_request.h"

namespace quivera {
namespace {

// Sends a management request record through Handle in an exact-size buffer
// (so a sanitizer sees any write past it).
struct Sent {
  int rc;
  size_t returned;
  std::vector<uint8_t> buffer;
};

Sent SendManagement(Station& s, const ManagementRequest& r, size_t len = 512) {
  std::vector<uint8_t> full(512);
  r.WriteTo(full.data());
  Sent out{0, 99, std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(len))};
  out.rc = s.Handle(kOidManagementQuery, out.buffer.data(), len, &out.returned);
  return out;
}

Sent SendWord(Station& s, uint32_t oid, uint32_t word, size_t len = 4) {
  Sent out{0, 99, std::vector<uint8_t>(len)};
  if (len >= 4) StoreU32(out.buffer.data(), word);
  out.rc = s.Handle(oid, out.buffer.data(), len, &out.returned);
  return out;
}

TEST(StationTest, CachedQueriesAnswerFromTheirBlocks) {
  struct Case {
    uint32_t code;
    size_t returned;
  };
  const Case cases[] = {{kCodeStatus, 240}, {kCodeCounters, 356},     {kCodeLink, 80},
                        {kCodeMib, 476},    {kCodeDriverParams, 508}, {kCodeSerialNumber, 508}};
  Station s;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    ASSERT_EQ(s.SetBlockU32(static_cast<int>(c.code), 0x1FC, 0xC0DE0000u + c.code), 0);
    const Sent sent = SendManagement(s, MakeQuery(c.code));
    ASSERT_EQ(sent.rc, 0);
    EXPECT_EQ(sent.returned, c.returned);
    EXPECT_EQ(LoadU32(sent.buffer.data() + 0x1FC), 0xC0DE0000u + c.code);
  }
}

TEST(StationTest, ErrorLogEntriesByIndex) {
  Station s;
  for (int entry = 0; entry < 4; ++entry) s.SetErrorLog(entry, 40, {static_cast<uint8_t>(entry)});
  for (uint32_t entry = 0; entry < 4; ++entry) {
    const Sent sent = SendManagement(s, MakeQuery(kCodeErrorLog, entry));
    ASSERT_EQ(sent.rc, 0);
    EXPECT_EQ(sent.buffer[40], entry);
  }
  EXPECT_EQ(SendManagement(s, MakeQuery(kCodeErrorLog, 4)).rc, 1);
}

TEST(StationTest, RequestsWithTooSmallBuffersFailWithoutWriting) {
  Station s;
  s.SetOid(kOidGenVendorDescription, std::vector<uint8_t>(40, 'x'));
  struct Case {
    const char* name;
    uint32_t oid;
    size_t len;
  };
  const Case cases[] = {
      {"management", kOidManagementQuery, 511},       {"management header", kOidManagementQuery, 8},
      {"station record", kOidStationRecord, 379},     {"control", kOidAdapterControl, 3},
      {"stored reply", kOidGenVendorDescription, 39}, {"vendor id", kOidGenVendorId, 3},
      {"firmware status", kOidFirmwareStatus, 2},     {"firmware load", kOidFirmwareLoad, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> buffer(c.len, 0xAB);
    if (c.len >= 12) StoreU32(buffer.data() + 8, kCodeMib);
    std::vector<uint8_t> before = buffer;
    size_t returned = 99;
    EXPECT_EQ(s.Handle(c.oid, buffer.data(), c.len, &returned), 1);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(buffer, before);
  }
  size_t returned = 99;
  EXPECT_EQ(s.Handle(kOidGenVendorId, nullptr, 4, &returned), 1);
  EXPECT_EQ(s.Handle(0x12345678, nullptr, 0, &returned), 1);  // unknown OID
}

TEST(StationTest, AttributeSetsChangeTheMibBlock) {
  struct Case {
    uint32_t attribute;
    std::vector<size_t> offsets;
  };
  const Case cases[] = {
      {kAttrSmtConnectionPolicy, {0x64}},   {kAttrPathTvxLowerBound, {0x138}},
      {kAttrPathTMaxLowerBound, {0x13C}},   {kAttrPathMaxTReq, {0x140}},
      {kAttrPortLerCutoff, {0x1A4, 0x1A8}}, {kAttrPortLerAlarm, {0x1AC, 0x1B0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attribute);
    Station s;
    const Sent sent = SendManagement(s, MakeSetAttribute(c.attribute, 0x1234));
    ASSERT_EQ(sent.rc, 0);
    EXPECT_EQ(sent.returned, 12u);
    for (size_t offset : c.offsets) EXPECT_EQ(s.BlockU32(kCodeMib, offset), 0x1234u);
    ASSERT_EQ(s.LastSetAttributes().size(), 1u);
    EXPECT_EQ(s.LastSetAttributes()[0].first, c.attribute);
    // The next query shows it.
    EXPECT_EQ(LoadU32(SendManagement(s, MakeQuery(kCodeMib)).buffer.data() + c.offsets[0]),
              0x1234u);
  }

  Station s;
  ASSERT_EQ(SendManagement(s, MakeSetPathTimers(1, 2, 3)).rc, 0);
  EXPECT_EQ(s.BlockU32(kCodeMib, 0x138), 1u);
  EXPECT_EQ(s.BlockU32(kCodeMib, 0x13C), 2u);
  EXPECT_EQ(s.BlockU32(kCodeMib, 0x140), 3u);
  EXPECT_EQ(s.LastSetAttributes().size(), 3u);
}

TEST(StationTest, AnUnknownAttributeFailsTheWholeSet) {
  Station s;
  ManagementRequest r = MakeSetPathTimers(1, 2, 3);
  r.parameters[6] = 0x9999;  // the third entry
  EXPECT_EQ(SendManagement(s, r).rc, 1);
  EXPECT_EQ(s.BlockU32(kCodeMib, 0x138), 0u);
  EXPECT_TRUE(s.LastSetAttributes().empty());
  EXPECT_EQ(SendManagement(s, MakeSetAttribute(0, 5)).rc, 1);  // no entry at all
}

TEST(StationTest, FlashWritesAndClearsChangeTheFlashReplies) {
  Station s;
  s.SetErrorLog(1, 8, {0x11});
  s.SetErrorLog(1, 16, {0x00, 0x00, 0x00, 0x00, 0x22});
  ASSERT_EQ(SendManagement(s, MakeQuery(kCodeClearErrorLog)).rc, 0);
  EXPECT_EQ(s.ErrorLog(1)[8], 0x11);                           // the header is not flash
  EXPECT_EQ(LoadU32(s.ErrorLog(1).data() + 16), 0xFFFFFFFFu);  // no longer a valid entry
  EXPECT_EQ(s.ErrorLog(1)[20], 0xFF);

  struct Case {
    uint32_t write_code;
    uint32_t length;
    int reply_code;
    size_t data;  // bytes of the area the reply shows
  };
  const Case cases[] = {{kCodeWriteSerialNumber, 132, kCodeSerialNumber, 128},
                        {kCodeWriteDriverParams, 504, kCodeDriverParams, 492}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.write_code);
    std::vector<uint8_t> buffer(512, 0);
    StoreU32(&buffer[0], c.length);
    StoreU32(&buffer[4], 12);
    StoreU32(&buffer[8], c.write_code);
    for (size_t i = 12; i < 8 + c.length; ++i) buffer[i] = static_cast<uint8_t>(i);
    size_t returned = 0;
    ASSERT_EQ(s.Handle(kOidManagementQuery, buffer.data(), buffer.size(), &returned), 0);
    const std::vector<uint8_t>& area = s.Block(c.reply_code);
    EXPECT_EQ(area[20], 12);
    EXPECT_EQ(area[20 + c.data - 1], static_cast<uint8_t>(12 + c.data - 1));

    StoreU32(&buffer[0], c.length - 4);  // a write of the wrong size changes nothing
    EXPECT_EQ(s.Handle(kOidManagementQuery, buffer.data(), buffer.size(), &returned), 1);

    std::vector<uint8_t> zeros(512, 0);  // all zeros clears the area
    StoreU32(&zeros[0], c.length);
    StoreU32(&zeros[8], c.write_code);
    ASSERT_EQ(s.Handle(kOidManagementQuery, zeros.data(), zeros.size(), &returned), 0);
    EXPECT_EQ(area[20], 0);
    EXPECT_EQ(area[20 + c.data - 1], 0);
  }
}

TEST(StationTest, ControlValues) {
  Station s;
  EXPECT_EQ(s.LastControlValue(), -1);
  for (uint32_t value : {4u, 0u, 1u, 2u}) {
    ASSERT_EQ(SendWord(s, kOidAdapterControl, value).rc, 0);
    EXPECT_EQ(s.LastControlValue(), value);
  }
  EXPECT_EQ(SendWord(s, kOidAdapterControl, 3).rc, 1);
  EXPECT_EQ(s.LastControlValue(), 2);
}

TEST(StationTest, StationRecordReadAndWrite) {
  Station s;
  StationIdRecord record;
  size_t returned = 0;
  ASSERT_EQ(s.Handle(kOidStationRecord, record.bytes.data(), record.bytes.size(), &returned), 0);
  EXPECT_EQ(record.Initialised(), 0u);

  record.SetDirection(StationIdRecord::kWrite);
  record.SetInitialised(1);
  record.bytes[200] = 0x77;
  ASSERT_EQ(s.Handle(kOidStationRecord, record.bytes.data(), record.bytes.size(), &returned), 0);
  EXPECT_EQ(s.StationRecord()[200], 0x77);

  StationIdRecord again;
  ASSERT_EQ(s.Handle(kOidStationRecord, again.bytes.data(), again.bytes.size(), &returned), 0);
  EXPECT_EQ(again.Initialised(), 1u);
  EXPECT_EQ(again.bytes[200], 0x77);
  again.SetDirection(2);
  EXPECT_EQ(s.Handle(kOidStationRecord, again.bytes.data(), again.bytes.size(), &returned), 1);
}

TEST(StationTest, FirmwareSteps) {
  Station s;
  EXPECT_EQ(FirmwareStatusFromReply(LoadU32(SendWord(s, kOidFirmwareStatus, 0).buffer.data())), 3);
  EXPECT_EQ(SendWord(s, kOidFirmwareCommit, 0).rc, 1);  // nothing loaded

  ASSERT_EQ(SendWord(s, kOidFirmwarePrepare, 0).rc, 0);
  std::vector<uint8_t> image(0x40004, 0);
  StoreU32(image.data(), 5);
  image[4] = 0xF0;
  image[8] = 0xF4;
  size_t returned = 0;
  ASSERT_EQ(s.Handle(kOidFirmwareLoad, image.data(), image.size(), &returned), 0);
  EXPECT_EQ(s.LoadedFirmware(), (std::vector<uint8_t>{0xF0, 0, 0, 0, 0xF4}));
  EXPECT_FALSE(s.FirmwareCommitted());
  ASSERT_EQ(SendWord(s, kOidFirmwareCommit, 0).rc, 0);
  EXPECT_TRUE(s.FirmwareCommitted());
  // The board revision is the board's: a commit leaves it alone.
  EXPECT_EQ(FirmwareStatusFromReply(LoadU32(SendWord(s, kOidFirmwareStatus, 0).buffer.data())), 3);

  // An image longer than the area, or than the buffer it came in, is refused.
  StoreU32(image.data(), 0x40001);
  EXPECT_EQ(s.Handle(kOidFirmwareLoad, image.data(), image.size(), &returned), 1);
  StoreU32(image.data(), 100);
  EXPECT_EQ(s.Handle(kOidFirmwareLoad, image.data(), 103, &returned), 1);

  s.SetOidU32(kOidFirmwareStatus, 0x02000000);  // a stored reply wins
  EXPECT_EQ(LoadU32(SendWord(s, kOidFirmwareStatus, 0).buffer.data()), 0x02000000u);
}

TEST(StationTest, FailuresAndTheRequestHook) {
  Station s;
  std::vector<std::pair<uint32_t, int>> seen;
  s.before_request = [&seen](Station&, uint32_t oid, int code) { seen.emplace_back(oid, code); };
  s.SetOidU32(kOidGenXmitOk, 5);

  EXPECT_EQ(SendWord(s, kOidGenXmitOk, 0).rc, 0);
  s.FailOid(kOidGenXmitOk);
  EXPECT_EQ(SendWord(s, kOidGenXmitOk, 0).rc, 1);
  s.FailOid(kOidGenXmitOk, false);
  EXPECT_EQ(SendWord(s, kOidGenXmitOk, 0).rc, 0);
  s.ClearOid(kOidGenXmitOk);
  EXPECT_EQ(SendWord(s, kOidGenXmitOk, 0).rc, 1);

  s.FailBlock(kCodeMib);
  EXPECT_EQ(SendManagement(s, MakeQuery(kCodeMib)).rc, 1);
  EXPECT_EQ(SendManagement(s, MakeQuery(kCodeLink)).rc, 0);
  EXPECT_EQ(SendManagement(s, MakeQuery(33)).rc, 1);  // not a request code

  ASSERT_EQ(seen.size(), 7u);
  EXPECT_EQ(seen[0], std::make_pair(kOidGenXmitOk, -1));
  EXPECT_EQ(seen[4], std::make_pair(kOidManagementQuery, static_cast<int>(kCodeMib)));
}

TEST(StationTest, ContentSettersStayInsideTheirBlocks) {
  Station s;
  EXPECT_EQ(s.SetBlock(kCodeMib, 508, {1, 2, 3, 4}), 0);
  EXPECT_EQ(s.SetBlock(kCodeMib, 509, {1, 2, 3, 4}), 1);
  EXPECT_EQ(s.SetBlock(kCodeMib, static_cast<size_t>(-1), {1}), 1);
  EXPECT_EQ(s.SetBlock(kCodeSetAttributes, 0, {1}), 1);
  EXPECT_EQ(s.SetErrorLog(4, 0, {1}), 1);
  EXPECT_EQ(s.SetErrorLog(-1, 0, {1}), 1);
  EXPECT_EQ(s.BlockU32(kCodeMib, 510), 0u);
  EXPECT_TRUE(s.Block(99).empty());
  EXPECT_TRUE(s.ErrorLog(4).empty());
}

}  // namespace
}  // namespace quivera
