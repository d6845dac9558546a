// The one bridge from the core's 8-bit texts to the window toolkit: every
// text the adapter, the value tables or the layouts produce is Windows-1252,
// and becomes a QString here.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quivera {

// 'text' read as Windows-1252. Bytes that code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the characters of the same number, so no
// byte is lost. Stops at nothing: an embedded NUL becomes U+0000.
QString ToQString(std::string_view text);

// The way back, for what the user types: each character as its
// Windows-1252 byte, '?' for a character the code page does not hold.
std::string FromQString(const QString& text);

}  // namespace quivera
