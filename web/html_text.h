// Small text helpers shared by the HTML page builders: escaping of values
// that come from outside the program, and number texts that are the same in
// every process locale (a windowed program runs under the user's locale).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quivera {

// Appends 'text' to '*out' with '&', '<' and '>' written as "&amp;", "&lt;"
// and "&gt;", so that a value read from an adapter or from the host can never
// add markup to a page. Bytes from 0x80 on are written as character
// references of their Windows-1252 characters ("&#8226;" for the bullet 0x95),
// because the answer names no character set and a browser would otherwise
// guess one. Every other byte is copied as it stands.
void AppendEscaped(std::string* out, std::string_view text);

// Signed and unsigned decimal texts ("%d", "%u"), locale-independent.
std::string DecimalText(int64_t value);
std::string UnsignedText(uint64_t value);

}  // namespace quivera
