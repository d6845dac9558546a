#include "emulator/station_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "adapter/management_request.h"
#include "emulator_test_util.h"

namespace quivera {
namespace {

using Bytes = std::vector<uint8_t>;
using Kind = StationFileEntry::Kind;

const std::vector<std::string> kServed = {"korap1", "korae2"};

struct ValueCase {
  const char* text;
  Bytes bytes;
};

TEST(StationValueTest, AcceptedForms) {
  const ValueCase cases[] = {
      {"0", {0, 0, 0, 0}},
      {"4500", {0x94, 0x11, 0, 0}},
      {"4294967295", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"0x02000000", {0, 0, 0, 2}},
      {"0XaBcD", {0xCD, 0xAB, 0, 0}},
      {"  17  ", {17, 0, 0, 0}},
      {"5 ; trailing comment", {5, 0, 0, 0}},
      {"5# comment", {5, 0, 0, 0}},
      {"08-00-2B-36-45-D7", {0x08, 0x00, 0x2B, 0x36, 0x45, 0xD7}},
      {"aa-0f", {0xAA, 0x0F}},
      {"01-02-03-04-05-06-07-08-09", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"\"v2\"", {'v', '2', 0}},
      {"\"\"", {0}},
      {"\"a; b # c\"  ; comment", {'a', ';', ' ', 'b', ' ', '#', ' ', 'c', 0}},
      // One byte: a pair that is no decimal number, or any pair with a '-'.
      {"FF", {0xFF}},
      {"0a ; comment", {0x0A}},
      {"12-", {0x12}},
      {"12", {12, 0, 0, 0}},  // a decimal number stays a word
  };
  for (const ValueCase& c : cases) {
    Bytes bytes;
    std::string problem;
    EXPECT_TRUE(ParseStationValue(c.text, &bytes, &problem)) << c.text << ": " << problem;
    EXPECT_EQ(bytes, c.bytes) << c.text;
  }
}

struct BadValueCase {
  const char* text;
  const char* problem;
};

TEST(StationValueTest, RefusedFormsSayWhy) {
  const BadValueCase cases[] = {
      {"", "missing value"},
      {"  ; only a comment", "missing value"},
      {"12x", "bad number '12x'"},
      {"4294967296", "bad number '4294967296'"},
      {"0x100000000", "bad number '0x100000000'"},
      {"0x", "bad number '0x'"},
      {"-5", "bad byte '' in '-5' (expected XX-XX-...)"},
      {"08-00-2B-3", "bad byte '3' in '08-00-2B-3' (expected XX-XX-...)"},
      {"08-00-", "bad byte '' in '08-00-' (expected XX-XX-...)"},
      {"0G-00", "bad byte '0G' in '0G-00' (expected XX-XX-...)"},
      {"\"open", "unterminated quote"},
      {"\"text\" more", "unexpected 'more' after the closing quote"},
      {"FG", "bad number 'FG'"},
      {"12--", "bad byte '' in '12--' (expected XX-XX-...)"},
  };
  for (const BadValueCase& c : cases) {
    Bytes bytes;
    std::string problem;
    EXPECT_FALSE(ParseStationValue(c.text, &bytes, &problem)) << c.text;
    EXPECT_EQ(problem, c.problem) << c.text;
  }
}

// One good line after a [korap1] header, and what it becomes.
struct GoodLine {
  const char* line;
  Kind kind;
  uint32_t oid;
  int code;
  int entry;
  size_t offset;
  Bytes bytes;
  bool fail;
};

TEST(StationFileTest, GoodLinesBecomeEntries) {
  const GoodLine cases[] = {
      {"oid.0x0001010C = 0x01000000", Kind::kOid, 0x0001010C, 0, 0, 0, {0, 0, 0, 1}, false},
      {"oid.0x0001010D = \"Vendor\"",
       Kind::kOid,
       0x0001010D,
       0,
       0,
       0,
       {'V', 'e', 'n', 'd', 'o', 'r', 0},
       false},
      {"oid.0x03010101=08-00-2B-00-00-01",
       Kind::kOid,
       0x03010101,
       0,
       0,
       0,
       {8, 0, 0x2B, 0, 0, 1},
       false},
      {"block.16.0x64 = 0x8021", Kind::kBlock, 0, 16, 0, 0x64, {0x21, 0x80, 0, 0}, false},
      {"block.4.224 = 1", Kind::kBlock, 0, 4, 0, 224, {1, 0, 0, 0}, false},
      {"block.27.0x1FC = 01-02-03-04", Kind::kBlock, 0, 27, 0, 0x1FC, {1, 2, 3, 4}, false},
      {"block.10.3.0x10 = 0", Kind::kErrorLog, 0, 10, 3, 0x10, {0, 0, 0, 0}, false},
      {"fail.oid.0x00020101 = 1", Kind::kFailOid, 0x00020101, 0, 0, 0, {}, true},
      {"fail.oid.0x00020101 = 0", Kind::kFailOid, 0x00020101, 0, 0, 0, {}, false},
      {"fail.block.16 = 1", Kind::kFailBlock, 0, 16, 0, 0, {}, true},
      {"fail.block.17 = 1 ; sets refused", Kind::kFailBlock, 0, 17, 0, 0, {}, true},
  };
  for (const GoodLine& c : cases) {
    std::vector<StationFileEntry> entries;
    std::string error;
    const std::string text = std::string("; comment\n\n[korap1]\n") + c.line + "\n";
    ASSERT_TRUE(ParseStationFile(text, "s.ini", kServed, &entries, &error))
        << c.line << ": " << error;
    ASSERT_EQ(entries.size(), 1u) << c.line;
    const StationFileEntry& e = entries[0];
    EXPECT_EQ(e.device, "korap1");
    EXPECT_EQ(e.line, 4);
    EXPECT_EQ(e.kind, c.kind) << c.line;
    EXPECT_EQ(e.oid, c.oid) << c.line;
    EXPECT_EQ(e.code, c.code) << c.line;
    EXPECT_EQ(e.entry, c.entry) << c.line;
    EXPECT_EQ(e.offset, c.offset) << c.line;
    EXPECT_EQ(e.bytes, c.bytes) << c.line;
    EXPECT_EQ(e.fail, c.fail) << c.line;
  }
}

struct BadFile {
  const char* text;
  const char* error;
};

TEST(StationFileTest, MalformedFilesNameFileLineAndProblem) {
  const BadFile cases[] = {
      {"oid.1 = 1\n", "s.ini:1: key 'oid.1' outside a device section"},
      {"[korap1]\nfoo = 1\n", "s.ini:2: unknown key 'foo'"},
      {"[korap1]\noid = 1\n", "s.ini:2: unknown key 'oid'"},
      {"[korap1]\nblock.16 = 1\n", "s.ini:2: unknown key 'block.16'"},
      {"[korap1]\nblock.16.4.4 = 1\n", "s.ini:2: unknown key 'block.16.4.4'"},
      {"[korap1]\noid.0xZZ = 1\n", "s.ini:2: bad number '0xZZ'"},
      {"[korap1]\noid.1 = 1x\n", "s.ini:2: bad number '1x'"},
      {"[korap1]\nblock.16.0x200 = 1\n", "s.ini:2: offset 0x200 outside the block (0..0x1FF)"},
      {"[korap1]\nblock.16.0x1FE = 1\n",
       "s.ini:2: value of 4 bytes at offset 0x1FE runs past the end of the block (512 bytes)"},
      {"[korap1]\nblock.17.0 = 1\n",
       "s.ini:2: unknown block code 17 (expected 4, 5, 12, 16, 20, 27 or 10.ENTRY)"},
      {"[korap1]\nblock.10.0x10 = 1\n", "s.ini:2: block.10 needs an entry: block.10.ENTRY.OFFSET"},
      {"[korap1]\nblock.10.4.0x10 = 1\n", "s.ini:2: error-log entry 4 outside 0..3"},
      {"[korap1]\nfail.block.3 = 1\n", "s.ini:2: unknown request code 3"},
      {"[korap1]\nfail.oid.5 = 2\n", "s.ini:2: fail value must be 0 or 1"},
      {"[korap1]\nfail.oid.5 = yes\n", "s.ini:2: bad number 'yes'"},
      {"[korap3]\n", "s.ini:1: section [korap3] is not a served device (served: korap1 korae2)"},
      {"[korap1\n", "s.ini:1: unterminated section header '[korap1'"},
      {"[korap1] x\n", "s.ini:1: unexpected 'x' after the section header"},
      {"[korap1]\noid.1 = \"text\n", "s.ini:2: unterminated quote"},
      {"[korap1]\n\n; fine\noid.1 1\n", "s.ini:4: missing '=' in 'oid.1 1'"},
      {"[korap1]\n= 1\n", "s.ini:2: missing key before '='"},
      {"[korap1]\noid.1 =\n", "s.ini:2: missing value"},
      // Text from the file is shown with its control bytes escaped.
      {"[korap1]\nkey\x1B[2J\x07 = 1\n", "s.ini:2: unknown key 'key\\x1B[2J\\x07'"},
      {"[korap1]\nwhat\xFF\n", "s.ini:2: missing '=' in 'what\\xFF'"},
      // Replies the station makes itself cannot be given.
      {"[korap1]\noid.0xFF000004 = 1\n",
       "s.ini:2: oid.0xFF000004 is answered by the station itself (fail.oid.0xFF000004 = 1 makes "
       "it fail)"},
      {"[korap1]\noid.4278190081 = 1\n",
       "s.ini:2: oid.0xFF000001 is answered by the station itself (fail.oid.0xFF000001 = 1 makes "
       "it fail)"},
  };
  for (const BadFile& c : cases) {
    std::vector<StationFileEntry> entries;
    std::string error;
    EXPECT_FALSE(ParseStationFile(c.text, "s.ini", kServed, &entries, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
    EXPECT_TRUE(entries.empty());
  }
}

TEST(StationFileTest, LongTextIsCutInMessages) {
  const std::string key(900 * 1024, 'k');
  std::vector<StationFileEntry> entries;
  std::string error;
  EXPECT_FALSE(ParseStationFile("[korap1]\n" + key + " = 1\n", "s.ini", kServed, &entries, &error));
  EXPECT_EQ(error, "s.ini:2: unknown key '" + std::string(kShownTextLimit, 'k') + "...'");
  std::string bytes;
  for (int i = 0; i < 381; ++i) bytes += i == 0 ? "00" : "-00";
  EXPECT_FALSE(ParseStationFile("[korap1]\noid.0xFF000005 = " + bytes + "\n", "s.ini", kServed,
                                &entries, &error));
  EXPECT_EQ(error, "s.ini:2: value of 381 bytes is longer than the station record (380 bytes)");
}

TEST(StationFileTest, AByteOrderMarkIsSkipped) {
  std::vector<StationFileEntry> entries;
  std::string error;
  ASSERT_TRUE(ParseStationFile("\xEF\xBB\xBF[korap1]\r\noid.1 = 1\r\n", "s.ini", kServed,
                               &entries, &error))
      << error;
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].oid, 1u);
}

TEST(StationFileTest, StationRecordKeyPresetsTheRecord) {
  std::vector<StationFileEntry> entries;
  std::string error;
  // Initialised, with its address: the discovery's "already set up" path.
  ASSERT_TRUE(ParseStationFile(
      "[korap1]\noid.0xFF000005 = 00-00-00-00-01-00-00-00-AA-00-04-00-05-0C\n", "s.ini",
      kServed, &entries, &error))
      << error;
  Station station;
  ASSERT_EQ(ApplyStationEntry(entries.at(0), station), 0);
  std::vector<uint8_t> record(StationIdRecord::kSize, 0xEE);
  StoreU32(record.data(), StationIdRecord::kRead);
  size_t returned = 0;
  ASSERT_EQ(station.Handle(kOidStationRecord, record.data(), record.size(), &returned), 0);
  EXPECT_EQ(returned, StationIdRecord::kSize);
  EXPECT_EQ(LoadU32(record.data() + 4), 1u);
  EXPECT_EQ(Bytes(record.begin() + 8, record.begin() + 14),
            (Bytes{0xAA, 0x00, 0x04, 0x00, 0x05, 0x0C}));
  EXPECT_EQ(std::count(record.begin() + 14, record.end(), 0), 380 - 14) << "the rest as default";
}

TEST(StationFileTest, SectionsSwitchDevicesAndCrLfLinesAreRead) {
  std::vector<StationFileEntry> entries;
  std::string error;
  const char* text =
      "# two devices\r\n[korap1]\r\noid.1 = 1\r\n[ korae2 ]\r\noid.2 = 2\r\n[korap1]\r\noid.3 = "
      "3\r\n";
  ASSERT_TRUE(ParseStationFile(text, "s.ini", kServed, &entries, &error)) << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].device, "korap1");
  EXPECT_EQ(entries[1].device, "korae2");
  EXPECT_EQ(entries[2].device, "korap1");
  EXPECT_EQ(entries[2].oid, 3u);
  EXPECT_EQ(entries[2].line, 7);
}

TEST(StationFileTest, LoadReportsUnreadableFile) {
  std::vector<StationFileEntry> entries;
  std::string error;
  EXPECT_FALSE(LoadStationFile("/nonexistent/station.ini", kServed, &entries, &error));
  EXPECT_EQ(error, "/nonexistent/station.ini: cannot read: No such file or directory");
}

TEST(StationFileTest, LoadedEntriesApplyToTheStation) {
  TempDir dir;
  const std::string path = dir.path() + "/station.ini";
  std::ofstream(path) << "[korap1]\n"
                         "oid.0x0001010D = \"Bench\"\n"
                         "block.16.0x64 = 0x8003\n"
                         "block.10.1.0x10 = 0x2\n"
                         "fail.oid.0x00020101 = 1\n"
                         "fail.block.5 = 1\n";
  std::vector<StationFileEntry> entries;
  std::string error;
  ASSERT_TRUE(LoadStationFile(path, kServed, &entries, &error)) << error;
  Station station;
  for (const StationFileEntry& e : entries) ASSERT_EQ(ApplyStationEntry(e, station), 0);

  uint8_t text[16] = {};
  size_t returned = 0;
  ASSERT_EQ(station.Handle(kOidGenVendorDescription, text, sizeof(text), &returned), 0);
  EXPECT_EQ(returned, 6u);
  EXPECT_STREQ(reinterpret_cast<char*>(text), "Bench");
  EXPECT_EQ(station.BlockU32(16, 0x64), 0x8003u);
  EXPECT_EQ(LoadU32(station.ErrorLog(1).data() + 0x10), 2u);
  uint8_t word[4] = {};
  EXPECT_EQ(station.Handle(kOidGenXmitOk, word, sizeof(word), &returned), 1);
  EXPECT_NE(QueryBlock(station, kCodeCounters).status, 0);
  EXPECT_EQ(QueryBlock(station, kCodeMib).status, 0);
}

}  // namespace
}  // namespace quivera
