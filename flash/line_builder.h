// LineBuilder: composes one line of a flash layout in a fixed buffer, with the
// number forms the layouts need (upper-case hexadecimal, signed decimal). The
// forms are produced digit by digit, so they are the same in every locale.
//
// A builder holds at most TextLines::kLineWidth characters; anything beyond is
// dropped and remembered as an overflow, which TextLines::Append reports.
#pragma once

#include <cstdint>
#include <string_view>

#include "flash/text_lines.h"

namespace quivera {

class LineBuilder {
 public:
  static constexpr int kCapacity = TextLines::kLineWidth;

  LineBuilder() = default;

  // Appends 'text' as it stands.
  LineBuilder& Text(std::string_view text);
  // Appends one character.
  LineBuilder& Char(char c);
  // Appends 'n' spaces (none for n <= 0).
  LineBuilder& Spaces(int n);
  // Appends spaces until the line is 'column' characters long; nothing when it
  // already is at least that long.
  LineBuilder& PadTo(int column);
  // Appends 'value' in upper-case hexadecimal with at least 'min_digits'
  // digits, zero-filled ("%0*X").
  LineBuilder& Hex(uint32_t value, int min_digits);
  // Appends 'value' in signed decimal, right-aligned in at least 'width'
  // characters ("%*d"; width 0 gives "%d").
  LineBuilder& Decimal(int64_t value, int width = 0);

  std::string_view view() const { return std::string_view(buffer_, length_); }
  int length() const { return length_; }
  // True when something was dropped because the line was full.
  bool overflowed() const { return overflowed_; }

 private:
  char buffer_[kCapacity] = {};
  int length_ = 0;
  bool overflowed_ = false;
};

}  // namespace quivera
