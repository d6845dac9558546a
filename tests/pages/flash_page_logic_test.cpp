// The Flash page's rules without a window: option groups, which buttons
// refill, the list's lines, the firmware revision and the printed sheets.
#include "pages/flash_page_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/adapter_list.h"
#include "tests/pages/page_test_adapter.h"

namespace quivera {
namespace {

using I = ManagementItem;
using G = FlashOptionGroup;
using O = FlashObject;

std::vector<std::string> All(const TextLines& lines) {
  std::vector<std::string> all;
  for (int i = 0; i < lines.count(); ++i) all.emplace_back(lines.line(i));
  return all;
}

// A valid error-log entry written by caller 1 (no halt code line).
std::vector<uint8_t> ErrorLogReply(uint32_t write_count) {
  std::vector<uint8_t> reply(520, 0);
  reply[24] = 1;  // caller ID
  reply[36] = static_cast<uint8_t>(write_count);
  return reply;
}

std::vector<uint8_t> BlockReply(uint8_t first_byte) {
  std::vector<uint8_t> reply(520, 0);
  for (size_t i = 20; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(first_byte + i - 20);
  return reply;
}

TEST(FlashPageLogicTest, GroupsShownAndButtonsThatRefillFollowTheObject) {
  struct Case {
    O object;
    bool entry, format, organization, size;  // groups shown
    bool refills[5];                          // Object, Entry, Format, Organization, Size
  };
  const Case cases[] = {
      {O::DriverPrivate, false, true, true, true, {true, false, true, true, true}},
      {O::SerialNumber, false, true, true, true, {true, false, true, true, true}},
      {O::ErrorLog, true, true, false, false, {true, true, true, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.object));
    const FlashGroups groups = FlashGroupsFor(c.object);
    EXPECT_EQ(groups.entry, c.entry);
    EXPECT_EQ(groups.format, c.format);
    EXPECT_EQ(groups.organization, c.organization);
    EXPECT_EQ(groups.size, c.size);
    int i = 0;
    for (G group : {G::Object, G::Entry, G::Format, G::Organization, G::Size}) {
      EXPECT_EQ(FlashOptionRefills(group, c.object), c.refills[i++]);
    }
  }
}

class FlashLinesTest : public ::testing::Test {
 protected:
  PageTestAdapter& adapter() { return *fixture_.adapter; }
  PageTestList fixture_;
  TextLines lines_;
};

TEST_F(FlashLinesTest, HexEntryStopsAfterTheWriteCountAsciiAddsTheRegisterWords) {
  adapter().SetBytes(I::ErrorLogEntry, ErrorLogReply(0x2A), 2);
  FlashOptions options;
  options.object = O::ErrorLog;
  options.entry = 2;
  FillFlashLines(fixture_.list, options, "v1.0", &lines_);
  const std::vector<std::string> hex = All(lines_);
  ASSERT_GE(hex.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(hex.begin(), hex.begin() + 4),
            (std::vector<std::string>{"Adapter Error Log", "Firmware Revision = v1.0", " ",
                                      "    Entry #      = 2"}));
  EXPECT_EQ(hex.back(), "    Write Count  = 002A");

  options.ascii = true;
  FillFlashLines(fixture_.list, options, "v1.0", &lines_);
  EXPECT_EQ(lines_.count(), 4 + 128);  // a caller other than the firmware
  EXPECT_EQ(std::string(lines_.line(lines_.count() - 1)), "119:00000000");
}

TEST_F(FlashLinesTest, DumpsFollowOrderAndGrouping) {
  adapter().SetBytes(I::DriverParameters, BlockReply(0x00));
  FlashOptions options;
  options.order = DumpOrder::Descending;
  options.grouping = DumpGrouping::Longwords;
  FillFlashLines(fixture_.list, options, "Unknown", &lines_);
  const std::vector<std::string> all = All(lines_);
  ASSERT_EQ(all.size(), 3u + 2u + 31u);
  EXPECT_EQ(all[0], "Adapter Driver Parameters");
  EXPECT_EQ(all[3], "0F0E0D0C 0B0A0908  07060504 03020100  Addr");
  EXPECT_EQ(all[5], "0F0E0D0C 0B0A0908  07060504 03020100  0000");
}

TEST_F(FlashLinesTest, ReadErrorsLeaveALineAndASpace) {
  struct Case {
    O object;
    int entry;
    const char* error;
  };
  const Case cases[] = {
      {O::DriverPrivate, 0, "Hardware read error for Driver Parameters"},
      {O::SerialNumber, 0, "Hardware read error for Serial Number"},
      {O::ErrorLog, 3, "Hardware read error for Error Log Entry 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    FlashOptions options;
    options.object = c.object;
    options.entry = c.entry;
    FillFlashLines(fixture_.list, options, "Unknown", &lines_);
    const std::vector<std::string> all = All(lines_);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[1], "Firmware Revision = Unknown");
    EXPECT_EQ(all[3], c.error);
    EXPECT_EQ(all[4], " ");
  }
}

TEST_F(FlashLinesTest, FirmwareRevisionIsReadUntilItSucceedsAndAgainWhenForgotten) {
  FirmwareRevisionCache revision;
  EXPECT_EQ(revision.Get(fixture_.list), "Unknown");
  adapter().SetBytes(I::FirmwareRevision, {'0', '.', '2', 'v'});
  EXPECT_EQ(revision.Get(fixture_.list), "v2.0");
  adapter().SetBytes(I::FirmwareRevision, {'1', '.', '3', 'v'});
  const int reads = adapter().reads(I::FirmwareRevision);
  EXPECT_EQ(revision.Get(fixture_.list), "v2.0");
  EXPECT_EQ(adapter().reads(I::FirmwareRevision), reads);
  revision.Forget();
  EXPECT_EQ(revision.text(), "Unknown");
  EXPECT_EQ(revision.Get(fixture_.list), "v3.1");
}

TEST_F(FlashLinesTest, PrintedSheets) {
  adapter().SetBytes(I::DriverParameters, BlockReply(0x41));
  adapter().SetBytes(I::SerialNumber, BlockReply(0x30));
  adapter().SetBytes(I::ErrorLogEntry, ErrorLogReply(1), 0);

  FlashSheetLines(fixture_.list, 6, "v1.0", &lines_);
  std::vector<std::string> all = All(lines_);
  // Heading, three dump headings and 31 rows, the empty step, heading, three
  // dump headings and 8 rows.
  ASSERT_EQ(all.size(), 3u + 34u + 1u + 2u + 11u);
  EXPECT_EQ(all[4], "Addr  00010203 04050607  08090A0B 0C0D0E0F  0123456789ABCDEF");
  EXPECT_EQ(all[37], "");
  EXPECT_EQ(all[38], "Adapter Serial Number");
  EXPECT_EQ(all[39], " ");

  FlashSheetLines(fixture_.list, 7, "v1.0", &lines_);
  EXPECT_EQ(lines_.count(), 4 + 128);  // entry 0 in full
  EXPECT_EQ(std::string(lines_.line(3)), "    Entry #      = 0");
  FlashSheetLines(fixture_.list, 10, "v1.0", &lines_);
  EXPECT_EQ(std::string(lines_.line(3)), "Hardware read error for Error Log Entry 3");
  for (int part : {5, 11}) {
    FlashSheetLines(fixture_.list, part, "v1.0", &lines_);
    EXPECT_EQ(lines_.count(), 0);
  }
}

TEST(FlashPageLogicTest, SheetLinesAfterTheSeventyThirdGoToTheSecondColumn) {
  struct Case {
    int index, column, row;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{72, 0, 72}, Case{73, 1, 13}, Case{131, 1, 71}}) {
    SCOPED_TRACE(c.index);
    const FlashPrintPlace place = FlashSheetPlace(c.index);
    EXPECT_EQ(place.column, c.column);
    EXPECT_EQ(place.row, c.row);
  }
}

}  // namespace
}  // namespace quivera
