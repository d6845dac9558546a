// Little-endian 32-bit words: the byte order of every word the driver
// exchanges (request records, reply blocks, the socket exchange's headers)
// and of the flash layouts, whatever the host's own order is.
#pragma once

#include <cstdint>

namespace quivera {

// The word in the four bytes at 'p', least significant first.
constexpr uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Writes 'v' into the four bytes at 'p', least significant first.
constexpr void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace quivera
