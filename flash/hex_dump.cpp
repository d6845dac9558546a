// Hex dump layout: heading texts as data, rows composed in a fixed buffer.
#include "flash/hex_dump.h"

#include <string_view>

#include "flash/line_builder.h"

namespace quivera {

namespace {

constexpr size_t kRowBytes = 16;
constexpr int kHalfRow = 8;

struct HexHeading {
  const char* heading;
  const char* rule;
};

// [grouping][order]: the column heading and rule of the hex columns.
constexpr HexHeading kHexHeadings[3][2] = {
    {
        {"Addr  00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F",
         "----  -- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --"},
        {"0F 0E 0D 0C 0B 0A 09 08  07 06 05 04 03 02 01 00  Addr",
         "-- -- -- -- -- -- -- --  -- -- -- -- -- -- -- --  ----"},
    },
    {
        {"Addr  0001 0203 0405 0607  0809 0A0B 0C0D 0E0F",
         "----  ---- ---- ---- ----  ---- ---- ---- ----"},
        {"0F0E 0D0C 0B0A 0908  0706 0504 0302 0100  Addr",
         "---- ---- ---- ----  ---- ---- ---- ----  ----"},
    },
    {
        {"Addr  00010203 04050607  08090A0B 0C0D0E0F",
         "----  -------- --------  -------- --------"},
        {"0F0E0D0C 0B0A0908  07060504 03020100  Addr",
         "-------- --------  -------- --------  ----"},
    },
};

// [order]: the three heading lines of the character column alone; the first
// two give each column's offset as two stacked hexadecimal digits.
constexpr const char* kAsciiHeadings[2][3] = {
    {"Addr  0000000000000000", "      0123456789ABCDEF", "----  ----------------"},
    {"0000000000000000  Addr", "FEDCBA9876543210      ", "----------------  ----"},
};

// [order]: the offsets over the character column when it follows the hex.
constexpr const char* kCharacterOffsets[2] = {"0123456789ABCDEF", "FEDCBA9876543210"};

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsControl(uint8_t byte) { return byte < 0x20 || byte == 0x7F; }

bool AppendHeadings(TextLines& lines, DumpColumns columns, int order, int grouping) {
  bool fit = true;
  if (columns == DumpColumns::AsciiOnly) {
    for (const char* line : kAsciiHeadings[order]) fit &= lines.Append(line);
    return fit;
  }
  const HexHeading& hex = kHexHeadings[grouping][order];
  if (columns == DumpColumns::HexOnly) {
    fit &= lines.Append(hex.heading);
    fit &= lines.Append(hex.rule);
    return fit;
  }
  // Hex and characters: a line with the high offset digit "0" over each
  // character column, then the hex heading and rule extended over it.
  const int character_column = static_cast<int>(std::string_view(hex.heading).size()) + 2;
  LineBuilder top;
  top.Spaces(character_column).Text("0000000000000000");
  fit &= lines.Append(top);
  LineBuilder heading;
  heading.Text(hex.heading).Spaces(2).Text(kCharacterOffsets[order]);
  fit &= lines.Append(heading);
  LineBuilder rule;
  rule.Text(hex.rule).Spaces(2).Text("----------------");
  fit &= lines.Append(rule);
  return fit;
}

void AppendAddress(LineBuilder& b, size_t offset) {
  // Offsets past 0xFFFF simply take more digits.
  b.Hex(static_cast<uint32_t>(offset), 4);
}

// The hex columns of one row; 'present' bytes of 'row' exist, the rest of the
// 16 positions are blank.
void AppendHexColumns(LineBuilder& b, const uint8_t* row, size_t present, bool descending,
                      int group_size) {
  for (int k = 0; k < static_cast<int>(kRowBytes); ++k) {
    if (k == kHalfRow) {
      b.Spaces(2);
    } else if (k > 0 && k % group_size == 0) {
      b.Char(' ');
    }
    const size_t position =
        descending ? kRowBytes - 1 - static_cast<size_t>(k) : static_cast<size_t>(k);
    if (position < present) {
      b.Char(kHexDigits[row[position] >> 4]).Char(kHexDigits[row[position] & 0xF]);
    } else {
      b.Spaces(2);
    }
  }
}

void AppendCharacters(LineBuilder& b, const uint8_t* row, size_t present, bool descending) {
  for (size_t k = 0; k < kRowBytes; ++k) {
    const size_t position = descending ? kRowBytes - 1 - k : k;
    if (position >= present) {
      b.Char(' ');
    } else {
      const uint8_t byte = row[position];
      b.Char(IsControl(byte) ? kDumpControlCharacter : static_cast<char>(byte));
    }
  }
}

int GroupSize(int grouping) {
  switch (grouping) {
    case static_cast<int>(DumpGrouping::Words):
      return 2;
    case static_cast<int>(DumpGrouping::Longwords):
      return 4;
    default:
      return 1;
  }
}

}  // namespace

bool FormatHexDump(TextLines& lines, std::span<const uint8_t> data, DumpColumns columns,
                   DumpOrder order, DumpGrouping grouping) {
  int grouping_index = static_cast<int>(grouping);
  if (grouping_index < 0 || grouping_index > 2) grouping_index = 0;
  if (columns != DumpColumns::AsciiOnly && columns != DumpColumns::HexAndAscii) {
    columns = DumpColumns::HexOnly;
  }
  const int order_index = static_cast<int>(order);
  const bool known_order = order_index == 0 || order_index == 1;
  const bool descending = order == DumpOrder::Descending;

  bool fit = true;
  if (known_order) fit &= AppendHeadings(lines, columns, order_index, grouping_index);

  const int group_size = GroupSize(grouping_index);
  for (size_t offset = 0; offset < data.size(); offset += kRowBytes) {
    if (lines.count() >= TextLines::kMaxLines) {
      // The list is full: the remaining rows cannot be kept, so stop here.
      lines.Append(std::string_view());
      return false;
    }
    const uint8_t* row = data.data() + offset;
    const size_t present = data.size() - offset < kRowBytes ? data.size() - offset : kRowBytes;
    LineBuilder b;
    if (columns == DumpColumns::AsciiOnly) {
      if (descending) {
        AppendCharacters(b, row, present, true);
        b.Spaces(2);
        AppendAddress(b, offset);
      } else {
        AppendAddress(b, offset);
        b.Spaces(2);
        AppendCharacters(b, row, present, false);
      }
    } else {
      if (descending) {
        AppendHexColumns(b, row, present, true, group_size);
        b.Spaces(2);
        AppendAddress(b, offset);
      } else {
        AppendAddress(b, offset);
        b.Spaces(2);
        AppendHexColumns(b, row, present, false, group_size);
      }
      if (columns == DumpColumns::HexAndAscii) {
        b.Spaces(2);
        AppendCharacters(b, row, present, descending);
      }
    }
    fit &= lines.Append(b);
  }
  return fit;
}

bool FormatDriverParametersDump(TextLines& lines, std::span<const uint8_t, kFlashReplySize> reply,
                                DumpColumns columns, DumpOrder order, DumpGrouping grouping) {
  return FormatHexDump(lines, reply.subspan<kFlashBlockDataOffset, kDriverParametersLength>(),
                       columns, order, grouping);
}

bool FormatSerialNumberDump(TextLines& lines, std::span<const uint8_t, kFlashReplySize> reply,
                            DumpColumns columns, DumpOrder order, DumpGrouping grouping) {
  return FormatHexDump(lines, reply.subspan<kFlashBlockDataOffset, kSerialNumberLength>(), columns,
                       order, grouping);
}

}  // namespace quivera
