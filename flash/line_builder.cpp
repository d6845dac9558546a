// LineBuilder: fixed-buffer line composition for the flash layouts.
#include "flash/line_builder.h"

namespace quivera {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

LineBuilder& LineBuilder::Char(char c) {
  if (length_ < kCapacity) {
    buffer_[length_++] = c;
  } else {
    overflowed_ = true;
  }
  return *this;
}

LineBuilder& LineBuilder::Text(std::string_view text) {
  for (char c : text) Char(c);
  return *this;
}

LineBuilder& LineBuilder::Spaces(int n) {
  for (int i = 0; i < n; ++i) Char(' ');
  return *this;
}

LineBuilder& LineBuilder::PadTo(int column) { return Spaces(column - length_); }

LineBuilder& LineBuilder::Hex(uint32_t value, int min_digits) {
  char digits[8];
  int n = 0;
  do {
    digits[n++] = kHexDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int i = n; i < min_digits; ++i) Char('0');
  while (n > 0) Char(digits[--n]);
  return *this;
}

LineBuilder& LineBuilder::Decimal(int64_t value, int width) {
  // Work on the magnitude as unsigned so the most negative value is safe.
  const bool negative = value < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  Spaces(width - n - (negative ? 1 : 0));
  if (negative) Char('-');
  while (n > 0) Char(digits[--n]);
  return *this;
}

}  // namespace quivera
