// Hex dump layout: every heading form with a full and a short row, row counts
// of the two flash blocks, control characters and the list bounds.
#include "flash/hex_dump.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace quivera {
namespace {

// Expected texts write the control-character stand-in as '#'.
std::string WithControlMark(std::string text) {
  for (char& c : text) {
    if (c == '#') c = kDumpControlCharacter;
  }
  return text;
}

std::vector<std::string> Lines(const TextLines& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.count(); ++i) out.emplace_back(lines.line(i));
  return out;
}

struct DumpCase {
  DumpColumns columns;
  DumpOrder order;
  DumpGrouping grouping;
  std::vector<std::string> expected;
};

// Sixteen bytes "ABCDEFGHIJKLMNO" + 7F, then a short row 00 61 1F 7E.
const std::vector<uint8_t> kTwentyBytes = {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47,
                                           0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E,
                                           0x4F, 0x7F, 0x00, 0x61, 0x1F, 0x7E};

// clang-format off
const DumpCase kDumpCases[] = {
    {DumpColumns::HexOnly, DumpOrder::Ascending, DumpGrouping::Bytes,
     {
         "Addr  00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F",
         "----  -- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --",
         "0000  41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 7F",
         "0010  00 61 1F 7E                                     ",
     }},
    {DumpColumns::HexOnly, DumpOrder::Ascending, DumpGrouping::Words,
     {
         "Addr  0001 0203 0405 0607  0809 0A0B 0C0D 0E0F",
         "----  ---- ---- ---- ----  ---- ---- ---- ----",
         "0000  4142 4344 4546 4748  494A 4B4C 4D4E 4F7F",
         "0010  0061 1F7E                               ",
     }},
    {DumpColumns::HexOnly, DumpOrder::Ascending, DumpGrouping::Longwords,
     {
         "Addr  00010203 04050607  08090A0B 0C0D0E0F",
         "----  -------- --------  -------- --------",
         "0000  41424344 45464748  494A4B4C 4D4E4F7F",
         "0010  00611F7E                            ",
     }},
    {DumpColumns::HexOnly, DumpOrder::Descending, DumpGrouping::Bytes,
     {
         "0F 0E 0D 0C 0B 0A 09 08  07 06 05 04 03 02 01 00  Addr",
         "-- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --  ----",
         "7F 4F 4E 4D 4C 4B 4A 49  48 47 46 45 44 43 42 41  0000",
         "                                     7E 1F 61 00  0010",
     }},
    {DumpColumns::HexOnly, DumpOrder::Descending, DumpGrouping::Words,
     {
         "0F0E 0D0C 0B0A 0908  0706 0504 0302 0100  Addr",
         "---- ---- ---- ----  ---- ---- ---- ----  ----",
         "7F4F 4E4D 4C4B 4A49  4847 4645 4443 4241  0000",
         "                               7E1F 6100  0010",
     }},
    {DumpColumns::HexOnly, DumpOrder::Descending, DumpGrouping::Longwords,
     {
         "0F0E0D0C 0B0A0908  07060504 03020100  Addr",
         "-------- --------  -------- --------  ----",
         "7F4F4E4D 4C4B4A49  48474645 44434241  0000",
         "                            7E1F6100  0010",
     }},
    {DumpColumns::AsciiOnly, DumpOrder::Ascending, DumpGrouping::Bytes,
     {
         "Addr  0000000000000000",
         "      0123456789ABCDEF",
         "----  ----------------",
         "0000  ABCDEFGHIJKLMNO#",
         "0010  #a#~            ",
     }},
    {DumpColumns::AsciiOnly, DumpOrder::Ascending, DumpGrouping::Words,
     {
         "Addr  0000000000000000",
         "      0123456789ABCDEF",
         "----  ----------------",
         "0000  ABCDEFGHIJKLMNO#",
         "0010  #a#~            ",
     }},
    {DumpColumns::AsciiOnly, DumpOrder::Ascending, DumpGrouping::Longwords,
     {
         "Addr  0000000000000000",
         "      0123456789ABCDEF",
         "----  ----------------",
         "0000  ABCDEFGHIJKLMNO#",
         "0010  #a#~            ",
     }},
    {DumpColumns::AsciiOnly, DumpOrder::Descending, DumpGrouping::Bytes,
     {
         "0000000000000000  Addr",
         "FEDCBA9876543210      ",
         "----------------  ----",
         "#ONMLKJIHGFEDCBA  0000",
         "            ~#a#  0010",
     }},
    {DumpColumns::AsciiOnly, DumpOrder::Descending, DumpGrouping::Words,
     {
         "0000000000000000  Addr",
         "FEDCBA9876543210      ",
         "----------------  ----",
         "#ONMLKJIHGFEDCBA  0000",
         "            ~#a#  0010",
     }},
    {DumpColumns::AsciiOnly, DumpOrder::Descending, DumpGrouping::Longwords,
     {
         "0000000000000000  Addr",
         "FEDCBA9876543210      ",
         "----------------  ----",
         "#ONMLKJIHGFEDCBA  0000",
         "            ~#a#  0010",
     }},
    {DumpColumns::HexAndAscii, DumpOrder::Ascending, DumpGrouping::Bytes,
     {
         "                                                        0000000000000000",
         "Addr  00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F  0123456789ABCDEF",
         "----  -- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --  ----------------",
         "0000  41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 7F  ABCDEFGHIJKLMNO#",
         "0010  00 61 1F 7E                                       #a#~            ",
     }},
    {DumpColumns::HexAndAscii, DumpOrder::Ascending, DumpGrouping::Words,
     {
         "                                                0000000000000000",
         "Addr  0001 0203 0405 0607  0809 0A0B 0C0D 0E0F  0123456789ABCDEF",
         "----  ---- ---- ---- ----  ---- ---- ---- ----  ----------------",
         "0000  4142 4344 4546 4748  494A 4B4C 4D4E 4F7F  ABCDEFGHIJKLMNO#",
         "0010  0061 1F7E                                 #a#~            ",
     }},
    {DumpColumns::HexAndAscii, DumpOrder::Ascending, DumpGrouping::Longwords,
     {
         "                                            0000000000000000",
         "Addr  00010203 04050607  08090A0B 0C0D0E0F  0123456789ABCDEF",
         "----  -------- --------  -------- --------  ----------------",
         "0000  41424344 45464748  494A4B4C 4D4E4F7F  ABCDEFGHIJKLMNO#",
         "0010  00611F7E                              #a#~            ",
     }},
    {DumpColumns::HexAndAscii, DumpOrder::Descending, DumpGrouping::Bytes,
     {
         "                                                        0000000000000000",
         "0F 0E 0D 0C 0B 0A 09 08  07 06 05 04 03 02 01 00  Addr  FEDCBA9876543210",
         "-- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --  ----  ----------------",
         "7F 4F 4E 4D 4C 4B 4A 49  48 47 46 45 44 43 42 41  0000  #ONMLKJIHGFEDCBA",
         "                                     7E 1F 61 00  0010              ~#a#",
     }},
    {DumpColumns::HexAndAscii, DumpOrder::Descending, DumpGrouping::Words,
     {
         "                                                0000000000000000",
         "0F0E 0D0C 0B0A 0908  0706 0504 0302 0100  Addr  FEDCBA9876543210",
         "---- ---- ---- ----  ---- ---- ---- ----  ----  ----------------",
         "7F4F 4E4D 4C4B 4A49  4847 4645 4443 4241  0000  #ONMLKJIHGFEDCBA",
         "                               7E1F 6100  0010              ~#a#",
     }},
    {DumpColumns::HexAndAscii, DumpOrder::Descending, DumpGrouping::Longwords,
     {
         "                                            0000000000000000",
         "0F0E0D0C 0B0A0908  07060504 03020100  Addr  FEDCBA9876543210",
         "-------- --------  -------- --------  ----  ----------------",
         "7F4F4E4D 4C4B4A49  48474645 44434241  0000  #ONMLKJIHGFEDCBA",
         "                            7E1F6100  0010              ~#a#",
     }},
};
// clang-format on

TEST(HexDumpTest, EveryHeadingAndRowForm) {
  for (const DumpCase& c : kDumpCases) {
    SCOPED_TRACE(testing::Message()
                 << "columns " << static_cast<int>(c.columns) << " order "
                 << static_cast<int>(c.order) << " grouping " << static_cast<int>(c.grouping));
    TextLines lines;
    EXPECT_TRUE(FormatHexDump(lines, kTwentyBytes, c.columns, c.order, c.grouping));
    std::vector<std::string> expected;
    for (const std::string& line : c.expected) expected.push_back(WithControlMark(line));
    EXPECT_EQ(Lines(lines), expected);
    EXPECT_FALSE(lines.truncated());
  }
}

TEST(HexDumpTest, ThreeBytesFillTheRestOfTheRowWithBlanks) {
  const std::vector<uint8_t> data = {0x41, 0x42, 0x0A};
  TextLines lines;
  FormatHexDump(lines, data, DumpColumns::HexAndAscii, DumpOrder::Ascending, DumpGrouping::Bytes);
  ASSERT_EQ(lines.count(), 4);
  EXPECT_EQ(lines.line(1),
            "Addr  00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F  0123456789ABCDEF");
  EXPECT_EQ(
      std::string(lines.line(3)),
      WithControlMark("0000  41 42 0A                                          AB#             "));
}

TEST(HexDumpTest, BlockDumpsCoverTheirDataAfterTheReplyHeader) {
  std::array<uint8_t, kFlashReplySize> reply{};
  for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(i);
  struct BlockCase {
    bool driver_parameters;
    int rows;
    const char* last_row;
  };
  const BlockCase cases[] = {
      {true, 31, "01E0  F4 F5 F6 F7 F8 F9 FA FB  FC FD FE FF 00 01 02 03"},
      {false, 8, "0070  84 85 86 87 88 89 8A 8B  8C 8D 8E 8F 90 91 92 93"},
  };
  for (const BlockCase& c : cases) {
    SCOPED_TRACE(c.driver_parameters ? "driver parameters" : "serial number");
    TextLines lines;
    if (c.driver_parameters) {
      EXPECT_TRUE(FormatDriverParametersDump(lines, reply, DumpColumns::HexOnly,
                                             DumpOrder::Ascending, DumpGrouping::Bytes));
    } else {
      EXPECT_TRUE(FormatSerialNumberDump(lines, reply, DumpColumns::HexOnly, DumpOrder::Ascending,
                                         DumpGrouping::Bytes));
    }
    ASSERT_EQ(lines.count(), 2 + c.rows);
    // The first data byte is the one at offset 20 of the reply.
    EXPECT_EQ(lines.line(2), "0000  14 15 16 17 18 19 1A 1B  1C 1D 1E 1F 20 21 22 23");
    EXPECT_EQ(lines.line(lines.count() - 1), c.last_row);
  }
}

TEST(HexDumpTest, CharacterColumnMarksOnlyControlBytes) {
  // 1F and 7F are control bytes; 20, 7E and everything above 7F stand as they are.
  const std::vector<uint8_t> data = {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x95, 0xFF};
  TextLines lines;
  FormatHexDump(lines, data, DumpColumns::AsciiOnly, DumpOrder::Ascending, DumpGrouping::Bytes);
  ASSERT_EQ(lines.count(), 4);
  const std::string expected = std::string("0000  ") + kDumpControlCharacter + " ~" +
                               kDumpControlCharacter + "\x80\x95\xFF" + std::string(9, ' ');
  EXPECT_EQ(std::string(lines.line(3)), expected);
}

TEST(HexDumpTest, EmptyDataGivesHeadingsOnly) {
  TextLines lines;
  EXPECT_TRUE(FormatHexDump(lines, {}, DumpColumns::HexAndAscii, DumpOrder::Descending,
                            DumpGrouping::Longwords));
  EXPECT_EQ(lines.count(), 3);
}

TEST(HexDumpTest, UnknownOrderGivesNoHeadingsAndAscendingRows) {
  TextLines lines;
  FormatHexDump(lines, kTwentyBytes, DumpColumns::HexOnly, static_cast<DumpOrder>(2),
                DumpGrouping::Bytes);
  ASSERT_EQ(lines.count(), 2);
  EXPECT_EQ(lines.line(0), "0000  41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 7F");
}

TEST(HexDumpTest, StopsAtTheLastLineOfTheList) {
  TextLines lines;
  for (int i = 0; i < 148; ++i) lines.Append("kept");
  EXPECT_FALSE(FormatHexDump(lines, kTwentyBytes, DumpColumns::HexOnly, DumpOrder::Ascending,
                             DumpGrouping::Bytes));
  EXPECT_EQ(lines.count(), TextLines::kMaxLines);
  EXPECT_TRUE(lines.truncated());
  EXPECT_EQ(lines.line(147), "kept");
  EXPECT_EQ(lines.line(148), "Addr  00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F");
  EXPECT_EQ(lines.line(149), "----  -- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --");
}

TEST(HexDumpTest, DataFarLongerThanTheListIsCutAtTheListEnd) {
  const std::vector<uint8_t> big(1 << 20, 0x5A);
  TextLines lines;
  EXPECT_FALSE(FormatHexDump(lines, big, DumpColumns::HexAndAscii, DumpOrder::Descending,
                             DumpGrouping::Words));
  EXPECT_EQ(lines.count(), TextLines::kMaxLines);
  EXPECT_TRUE(lines.truncated());
  // The last kept row is row 146 (three heading lines come first).
  EXPECT_EQ(lines.line(149).substr(42, 4), "0920");
}

}  // namespace
}  // namespace quivera
