// General hex dump of a flash block: heading lines, then one line per 16
// bytes, in hexadecimal, as characters or both, with ascending or descending
// offsets and byte, word or longword groups. Also the two block dumps of the
// driver parameters and the serial number.
#pragma once

#include <cstdint>
#include <span>

#include "flash/flash_reply.h"
#include "flash/text_lines.h"

namespace quivera {

enum class DumpColumns : int { HexOnly = 0, AsciiOnly = 1, HexAndAscii = 2 };

// Ascending: offsets 00..0F from left to right, the row address first.
// Descending: offsets 0F..00 from left to right, the row address after the
// hex columns, so a group of 2 or 4 bytes reads as a little-endian number.
enum class DumpOrder : int { Ascending = 0, Descending = 1 };

enum class DumpGrouping : int { Bytes = 0, Words = 1, Longwords = 2 };

// The character that stands for a control byte (0x00..0x1F, 0x7F) in the
// character column.
inline constexpr char kDumpControlCharacter = static_cast<char>(0x95);

// Appends the heading lines and one row per 16 bytes of 'data' to 'lines'.
// Row addresses are offsets within 'data' ("%04X"). A short last row is
// filled with blanks. An order outside the enumeration gets no heading lines
// and ascending rows; columns or grouping outside theirs are taken as HexOnly
// or Bytes.
// Returns true when every line fit; false when lines were dropped at the end
// of the list or cut at the line width (lines.truncated() is then set too).
bool FormatHexDump(TextLines& lines, std::span<const uint8_t> data, DumpColumns columns,
                   DumpOrder order, DumpGrouping grouping);

// A dump of one flash reply: FormatDriverParametersDump or
// FormatSerialNumberDump.
using FlashDump = bool (*)(TextLines&, std::span<const uint8_t, kFlashReplySize>, DumpColumns,
                           DumpOrder, DumpGrouping);

// FormatHexDump over the kDriverParametersLength data bytes of a
// DriverParameters reply.
bool FormatDriverParametersDump(TextLines& lines, std::span<const uint8_t, kFlashReplySize> reply,
                                DumpColumns columns, DumpOrder order, DumpGrouping grouping);

// FormatHexDump over the kSerialNumberLength data bytes of a SerialNumber
// reply.
bool FormatSerialNumberDump(TextLines& lines, std::span<const uint8_t, kFlashReplySize> reply,
                            DumpColumns columns, DumpOrder order, DumpGrouping grouping);

}  // namespace quivera
