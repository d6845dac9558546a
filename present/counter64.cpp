// Counter64 arithmetic on the two words and its decimal text.
#include "present/counter64.h"

#include <charconv>
#include <cstring>

namespace quivera {

void Counter64::SetFromItemBytes(std::span<const uint8_t, 8> bytes) {
  uint32_t words[2];
  std::memcpy(words, bytes.data(), sizeof(words));
  Set(words[0], words[1]);
}

void Counter64::Add(uint32_t value) {
  const uint32_t sum = low_ + value;
  if (sum < low_) ++high_;
  low_ = sum;
}

Counter64 Counter64::Difference(const Counter64& baseline) const {
  const uint32_t borrow = low_ < baseline.low_ ? 1 : 0;
  return Counter64(high_ - baseline.high_ - borrow, low_ - baseline.low_);
}

std::string Counter64::Text() const {
  // 2^64 - 1 has 20 digits. to_chars never consults the locale.
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof(digits), value());
  return std::string(digits, result.ptr);
}

}  // namespace quivera
