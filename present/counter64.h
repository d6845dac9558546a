// A 64-bit unsigned management counter held as a high and a low 32-bit word,
// the way the adapter delivers it. Pages keep one as the baseline taken when
// counters were cleared and show the difference from it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quivera {

class Counter64 {
 public:
  constexpr Counter64() = default;
  constexpr Counter64(uint32_t high, uint32_t low) : high_(high), low_(low) {}

  // Sets both words.
  void Set(uint32_t high, uint32_t low) {
    high_ = high;
    low_ = low;
  }
  // Sets the counter to a 32-bit value (high word 0).
  void Set(uint32_t value) { Set(0, value); }
  // Sets the counter from an item's 8-byte reply: the first 32-bit word (in
  // the host's byte order, as the adapter layer delivers it) is the high
  // word, the second the low word.
  void SetFromItemBytes(std::span<const uint8_t, 8> bytes);

  // Adds 'value'; a carry out of the low word increments the high word, and
  // a carry out of the high word is lost (the counter wraps modulo 2^64).
  void Add(uint32_t value);

  // This counter minus 'baseline', modulo 2^64 (the borrow out of the low
  // word is taken from the high word). A baseline above the counter, as after
  // an adapter restarted its counts, wraps around rather than failing.
  Counter64 Difference(const Counter64& baseline) const;

  uint32_t high() const { return high_; }
  uint32_t low() const { return low_; }
  uint64_t value() const { return (uint64_t{high_} << 32) | low_; }

  // The plain decimal text of the 64-bit value: no leading zeros, no sign,
  // no grouping, whatever the process locale ("0" for zero; at most 20
  // digits).
  std::string Text() const;

  friend bool operator==(const Counter64&, const Counter64&) = default;

 private:
  uint32_t high_ = 0;
  uint32_t low_ = 0;
};

inline Counter64 operator-(const Counter64& counter, const Counter64& baseline) {
  return counter.Difference(baseline);
}

}  // namespace quivera
