// A revision as a driver reports it: four characters in one 32-bit word, the
// first character its most significant byte. Stored little-endian, the word's
// bytes run last character first, which is why the pages read them backwards.
#pragma once

#include <cstdint>

namespace quivera {

constexpr uint32_t RevisionWord(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3]));
}

}  // namespace quivera
