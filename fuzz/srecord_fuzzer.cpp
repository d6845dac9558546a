// Fuzz target: the text of a firmware image file, read as S-records; an
// accepted image is put into the record the firmware load step hands over.
//
// Beyond the sanitizers it checks that a refused file names a line (unless
// it holds no image data at all) and carries no bytes, that an accepted image fits the image area, and that the
// image's groups of four are reversed in place with nothing past the last
// group touched, and that the load record holds the image length, the
// reversed groups and zeros after them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/little_endian.h"
#include "flash/srecord_image.h"
#include "fuzz/fuzz_adapters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quivera;
  const SRecordImage image =
      ReadSRecordImage(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!image.ok) {
    // A file without image data names no line: there is none at fault.
    const bool no_data = image.message == kNoImageDataText;
    if ((image.error_line < 1 && !no_data) || image.message.empty() || !image.bytes.empty()) {
      FuzzFail("refusal without its line and message");
    }
    return 0;
  }
  if (image.error_line != 0 || image.bytes.size() > kFirmwareImageArea) {
    FuzzFail("accepted image out of bounds");
  }
  // The groups reversed in a zeroed area just large enough, with a guard
  // group after it that must stay as it was.
  const size_t length = image.bytes.size();
  const size_t groups_end = (length + 3) / 4 * 4;
  constexpr uint8_t kGuard = 0xA5;
  std::vector<uint8_t> area(groups_end + 4, 0);
  std::fill(area.begin() + static_cast<std::ptrdiff_t>(groups_end), area.end(), kGuard);
  std::copy(image.bytes.begin(), image.bytes.end(), area.begin());
  ReverseFirmwareGroups(area, length);
  for (size_t i = 0; i < groups_end; ++i) {
    const uint8_t expected = i < length ? image.bytes[i] : 0;
    if (area[i / 4 * 4 + 3 - i % 4] != expected) FuzzFail("image byte misplaced");
  }
  for (size_t at = groups_end; at < area.size(); ++at) {
    if (area[at] != kGuard) FuzzFail("group past the image reversed");
  }

  // The whole load record is 256 KiB, which costs more than the reading:
  // build it for one input size in 64 only.
  if (size % 64 != 0) return 0;
  const std::vector<uint8_t> record = FirmwareLoadRecord(image.bytes);
  if (record.size() != kFirmwareBufferSize) FuzzFail("load record of the wrong size");
  const uint32_t word = LoadU32(record.data());
  if (word != length) FuzzFail("load record length word");
  if (!std::equal(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(groups_end),
                  record.begin() + 4)) {
    FuzzFail("load record image differs");
  }
  static const std::vector<uint8_t> kZeros(kFirmwareBufferSize, 0);
  const size_t rest = 4 + groups_end;
  if (std::memcmp(record.data() + rest, kZeros.data(), record.size() - rest) != 0) {
    FuzzFail("byte after the image not zero");
  }
  return 0;
}
