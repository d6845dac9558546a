// Reading a firmware image from Motorola S-record text, and the buffer the
// adapter's firmware load step takes. Pure functions over bytes: no file, no
// adapter, so a damaged or hostile file can be tried without hardware.
//
// Only S3 records (32-bit address) carry image data: their data bytes are
// appended one after the other in file order; the address is not used. Every
// other line (other record types, blank lines, text) is skipped. Lines end
// with CR, LF or CR LF alike. An S3 record is refused when its byte count is
// below 5, when a digit of its count, address, data or checksum is not
// hexadecimal, when the line ends before the record does, or when its
// checksum does not match; an image is refused when its data would not fit
// the adapter's image area, and when it holds no data byte at all (a flash
// left without firmware is worse than the old firmware).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quivera {

// The adapter's firmware image area.
inline constexpr size_t kFirmwareImageArea = 262144;

struct SRecordImage {
  bool ok = false;
  // The data bytes in file order (empty when refused).
  std::vector<uint8_t> bytes;
  // When refused: the line (1-based) at fault and the program's message
  // naming it, ready for a message box.
  int error_line = 0;
  std::string message;
};

inline constexpr char kNoImageDataText[] = "The firmware image file holds no image data.";

// Reads the image held in 'text' (the whole file; a last line may lack its
// end). The first fault found is the one reported.
SRecordImage ReadSRecordImage(std::string_view text);

// Reverses the byte order of every 4-byte group of 'area' (bytes 0..3 become
// 3..0, and so on), up to the group that holds byte 'length' - 1: a last
// group that the image fills only in part is reversed as a whole group of
// four. 'length' is clamped to the area.
void ReverseFirmwareGroups(std::span<uint8_t> area, size_t length);

// The record the load step hands to the driver: the image length as a 32-bit
// little-endian word, then the 262 144-byte image area holding 'image' with
// its groups reversed (zero after the image). 'image' must fit the area
// (ReadSRecordImage makes sure); anything past it is not copied.
std::vector<uint8_t> FirmwareLoadRecord(const std::vector<uint8_t>& image);

}  // namespace quivera
