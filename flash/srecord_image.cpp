// S-record image reading and the firmware load record.
#include "flash/srecord_image.h"

#include <algorithm>
#include <cstdio>

#include "adapter/adapter.h"
#include "adapter/little_endian.h"

namespace quivera {

namespace {

static_assert(kFirmwareBufferSize == kFirmwareImageArea + 4,
              "the load record is a length word ahead of the image area");

// The record layout: "S3", two count digits, eight address digits, then the
// data and the checksum. The count covers address, data and checksum bytes.
constexpr size_t kCountAt = 2;
constexpr size_t kAddressAt = 4;
constexpr size_t kDataAt = 12;
constexpr int kAddressAndChecksumBytes = 5;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte written by the two digits at 'at', or -1 when either is not a
// hexadecimal digit.
int HexByte(std::string_view line, size_t at) {
  const int high = HexValue(line[at]);
  const int low = HexValue(line[at + 1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

SRecordImage Refused(int line, const char* why) {
  SRecordImage result;
  result.error_line = line;
  char text[160];
  std::snprintf(text, sizeof text, "Invalid firmware image: line %d %s. Process terminated...",
                line, why);
  result.message = text;
  return result;
}

SRecordImage TooLarge(int line) {
  SRecordImage result;
  result.error_line = line;
  char text[160];
  std::snprintf(text, sizeof text,
                "Firmware image too large: line %d goes past the %zu bytes of the image area. "
                "Process terminated...",
                line, kFirmwareImageArea);
  result.message = text;
  return result;
}

}  // namespace

SRecordImage ReadSRecordImage(std::string_view text) {
  SRecordImage image;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    ++number;
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    // CR LF ends one line, not two.
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    if (line.size() < 2 || line[0] != 'S' || line[1] != '3') continue;

    if (line.size() < kAddressAt) return Refused(number, "is shorter than its byte count");
    const int count = HexByte(line, kCountAt);
    if (count < 0) return Refused(number, "holds a character that is not a hexadecimal digit");
    if (count < kAddressAndChecksumBytes) return Refused(number, "has a byte count below 5");
    const size_t record_end = kAddressAt + 2 * static_cast<size_t>(count);
    if (line.size() < record_end) return Refused(number, "is shorter than its byte count");
    for (size_t at = kAddressAt; at < record_end; ++at) {
      if (HexValue(line[at]) < 0) {
        return Refused(number, "holds a character that is not a hexadecimal digit");
      }
    }
    // The count, address, data and checksum bytes add up to 0xFF (low byte).
    unsigned sum = static_cast<unsigned>(count);
    for (size_t at = kAddressAt; at < record_end; at += 2) {
      sum += static_cast<unsigned>(HexByte(line, at));
    }
    if ((sum & 0xFF) != 0xFF) return Refused(number, "has a wrong checksum");
    const size_t data = static_cast<size_t>(count - kAddressAndChecksumBytes);
    if (image.bytes.size() + data > kFirmwareImageArea) return TooLarge(number);
    for (size_t i = 0; i < data; ++i) {
      image.bytes.push_back(static_cast<uint8_t>(HexByte(line, kDataAt + 2 * i)));
    }
  }
  if (image.bytes.empty()) {
    image.message = kNoImageDataText;
    return image;
  }
  image.ok = true;
  return image;
}

void ReverseFirmwareGroups(std::span<uint8_t> area, size_t length) {
  length = std::min(length, area.size());
  for (size_t group = 0; group < length; group += 4) {
    if (group + 4 > area.size()) break;  // an area not ending on a group
    std::reverse(area.begin() + static_cast<std::ptrdiff_t>(group),
                 area.begin() + static_cast<std::ptrdiff_t>(group + 4));
  }
}

std::vector<uint8_t> FirmwareLoadRecord(const std::vector<uint8_t>& image) {
  std::vector<uint8_t> record(kFirmwareBufferSize, 0);
  const size_t length = std::min(image.size(), kFirmwareImageArea);
  StoreU32(record.data(), static_cast<uint32_t>(length));
  std::copy_n(image.begin(), length, record.begin() + 4);
  ReverseFirmwareGroups(std::span<uint8_t>(record).subspan(4), length);
  return record;
}

}  // namespace quivera
