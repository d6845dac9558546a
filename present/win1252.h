// The program's 8-bit texts use the Windows-1252 code page (adapter texts,
// the bullet of lists). Views that need Unicode (the windows, the HTML pages)
// convert with this.
#pragma once

#include <string>
#include <string_view>

namespace quivera {

// 'text' as UTF-8: bytes below 0x80 unchanged, 0x80 to 0x9F as the
// Windows-1252 code page maps them (0x80 euro sign, 0x95 bullet U+2022, ...;
// the five bytes the code page leaves unassigned become the C1 controls of
// the same number), 0xA0 to 0xFF as Latin-1. Every byte maps to something,
// so the conversion cannot fail.
std::string Win1252ToUtf8(std::string_view text);

// The Unicode code point of one Windows-1252 byte, by the same mapping.
char16_t Win1252CodePoint(unsigned char byte);

}  // namespace quivera
