// Reading S-record images: records refused with their line, the image area
// limit on a file made by srec_cat, the group reversal and the load record.
// (Whole srec_cat images are read in the firmware upgrade's tests.)
#include "flash/srecord_image.h"

#include <gtest/gtest.h>

#include "srec_files.h"
#include "support/temp_dir.h"

namespace quivera {
namespace {

TEST(SRecordImageTest, OneByteMoreThanTheAreaIsRefusedAtItsLine) {
  TempDir dir;
  const std::string path = MakeSRecordFile(dir.path(), "big.srec", kFirmwareImageArea + 1);
  ASSERT_FALSE(path.empty());
  const std::string text = ReadFile(path);
  const SRecordImage image = ReadSRecordImage(text);
  EXPECT_FALSE(image.ok);
  EXPECT_TRUE(image.bytes.empty());
  // The last data record carries the extra byte; only the termination record
  // follows it.
  int lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(image.error_line, lines - 1);
  EXPECT_EQ(image.message, "Firmware image too large: line " + std::to_string(lines - 1) +
                               " goes past the 262144 bytes of the image area. Process "
                               "terminated...");
}

TEST(SRecordImageTest, MalformedRecordsAreRefusedNamingTheirLine) {
  const std::string good = "S0030000FC\r\nS30900000000A1B2C3D40C\r\n";
  struct Case {
    const char* text;
    int line;
    const char* why;
  };
  const Case cases[] = {
      {"S30400000000FF\n", 4, "has a byte count below 5"},
      {"S300\n", 4, "has a byte count below 5"},
      {"S3\n", 4, "is shorter than its byte count"},
      {"S30900000000A1B2C3\n", 4, "is shorter than its byte count"},
      {"S30900000000A1B2C3D4\r\n", 4, "is shorter than its byte count"},
      {"S3G900000000A1B2C3D4FF\n", 4, "holds a character that is not a hexadecimal digit"},
      {"S30900000000A1BXC3D4FF\n", 4, "holds a character that is not a hexadecimal digit"},
      {"S309000000Z0A1B2C3D4FF\n", 4, "holds a character that is not a hexadecimal digit"},
      {"S30900000000A1B2C3D4F \n", 4, "holds a character that is not a hexadecimal digit"},
      {"S30900000000A1B2C3D40D\n", 4, "has a wrong checksum"},
      {"S30900000000A1B2C3D5FF\n", 4, "has a wrong checksum"},
      // A line ended by CR alone is a line of its own.
      {"S0030000FC\rS30900000000A1B2C3D40C\rS30900000004A1B2C3D4FF\r", 6, "has a wrong checksum"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const SRecordImage image = ReadSRecordImage(good + "\n" + c.text + good);
    EXPECT_FALSE(image.ok);
    EXPECT_TRUE(image.bytes.empty());
    EXPECT_EQ(image.error_line, c.line);
    EXPECT_EQ(image.message, "Invalid firmware image: line " + std::to_string(c.line) + " " +
                                 c.why + ". Process terminated...");
  }
}

TEST(SRecordImageTest, OnlyS3DataIsTakenWithAnyLineEnd) {
  const SRecordImage image = ReadSRecordImage(
      "S00600004844521B\n"
      "S1051000aabb8f\r\n"
      "\n"
      "junk line\n"
      "s30900000000ffffffffFA\n"
      "S30A00000000a1b2c3d4e526 trailing\n"
      "S30600000010EEFB");
  ASSERT_TRUE(image.ok) << image.message;
  EXPECT_EQ(image.bytes, (std::vector<uint8_t>{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xEE}));
}

TEST(SRecordImageTest, LineEndsAndEmptyImages) {
  const std::string a = "S30900000000A1B2C3D40C";
  const std::string b = "S3090000000401020304E8";
  const std::vector<uint8_t> both = {0xA1, 0xB2, 0xC3, 0xD4, 1, 2, 3, 4};
  struct Case {
    std::string text;
    std::vector<uint8_t> bytes;  // empty: refused as holding no image data
  };
  const Case cases[] = {
      {a + "\n" + b + "\n", both},
      {a + "\r\n" + b + "\r\n", both},
      {a + "\r" + b + "\r", both},  // CR only: both records, not the first alone
      {a + "\r" + b, both},
      {a + "\r\r\n\n" + b, both},
      {"", {}},
      {"\r\n\r\n", {}},
      {"S00600004844521B\nS1051000AABB8F\nS9030000FC\n", {}},  // S1 data only
      {"S30500000000FA\n", {}},                                // an S3 record without data
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const SRecordImage image = ReadSRecordImage(c.text);
    EXPECT_EQ(image.ok, !c.bytes.empty());
    EXPECT_EQ(image.bytes, c.bytes);
    EXPECT_EQ(image.message, c.bytes.empty() ? kNoImageDataText : "");
  }
}

TEST(SRecordImageTest, LoadRecordHoldsLengthAndReversedGroups) {
  struct Case {
    std::vector<uint8_t> image;
    std::vector<uint8_t> area_start;  // the first bytes of the area after it
  };
  const Case cases[] = {
      {{}, {0, 0, 0, 0}},
      {{1}, {0, 0, 0, 1, 0}},
      {{1, 2, 3}, {0, 3, 2, 1, 0}},
      {{1, 2, 3, 4}, {4, 3, 2, 1, 0}},
      {{1, 2, 3, 4, 5}, {4, 3, 2, 1, 0, 0, 0, 5, 0}},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> record = FirmwareLoadRecord(c.image);
    ASSERT_EQ(record.size(), kFirmwareImageArea + 4);
    EXPECT_EQ(record[0], c.image.size());
    EXPECT_EQ(record[1] | record[2] | record[3], 0);
    EXPECT_TRUE(std::equal(c.area_start.begin(), c.area_start.end(), record.begin() + 4))
        << c.image.size();
  }
  const std::vector<uint8_t> full = FirmwareLoadRecord(SourceBytes(kFirmwareImageArea));
  EXPECT_EQ(full[0] | full[1] | full[3], 0);
  EXPECT_EQ(full[2], 4);  // 0x00040000 little-endian
  const std::vector<uint8_t> expected = ReversedImage(SourceBytes(kFirmwareImageArea));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), full.begin() + 4));
}

}  // namespace
}  // namespace quivera
