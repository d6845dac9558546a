#include "present/counter64.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace quivera {
namespace {

struct TextCase {
  uint32_t high;
  uint32_t low;
  const char* text;
};

TEST(Counter64Test, DecimalText) {
  const TextCase cases[] = {
      {0, 0, "0"},
      {0, 7, "7"},
      {0, 0xFFFFFFFF, "4294967295"},
      {1, 0, "4294967296"},
      {1, 0xFFFFFFFF, "8589934591"},
      {0x00000017, 0x4876E800, "100000000000"},  // a power of ten past 32 bits
      {0x0DE0B6B3, 0xA7640000, "1000000000000000000"},
      {0xFFFFFFFF, 0xFFFFFFFF, "18446744073709551615"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Counter64(c.high, c.low).Text(), c.text);
  }
  EXPECT_EQ(Counter64(0xFFFFFFFF, 0xFFFFFFFF).Text().size(), 20u);
}

TEST(Counter64Test, SetForms) {
  Counter64 c(5, 6);
  c.Set(9);
  EXPECT_EQ(c, Counter64(0, 9));
  c.Set(3, 4);
  EXPECT_EQ(c.high(), 3u);
  EXPECT_EQ(c.low(), 4u);
  EXPECT_EQ(c.value(), (uint64_t{3} << 32) | 4);
}

TEST(Counter64Test, SetFromItemBytesTakesTheHighWordFirst) {
  const uint32_t words[2] = {2, 0x80000001};
  std::array<uint8_t, 8> bytes;
  std::memcpy(bytes.data(), words, sizeof(words));
  Counter64 c;
  c.SetFromItemBytes(bytes);
  EXPECT_EQ(c, Counter64(2, 0x80000001));
}

TEST(Counter64Test, AddCarriesIntoTheHighWord) {
  Counter64 c(0, 0xFFFFFFFE);
  c.Add(1);
  EXPECT_EQ(c, Counter64(0, 0xFFFFFFFF));
  c.Add(3);
  EXPECT_EQ(c, Counter64(1, 2));
  Counter64 top(0xFFFFFFFF, 0xFFFFFFFF);
  top.Add(1);
  EXPECT_EQ(top, Counter64(0, 0));
}

struct DiffCase {
  Counter64 counter;
  Counter64 baseline;
  Counter64 expected;
};

TEST(Counter64Test, DifferenceBorrowsFromTheHighWord) {
  const DiffCase cases[] = {
      {{2, 5}, {1, 6}, {0, 0xFFFFFFFF}},
      {{2, 0}, {1, 0xFFFFFFFF}, {0, 1}},
      {{7, 9}, {7, 9}, {0, 0}},
      {{3, 10}, {1, 4}, {2, 6}},
      // A count that fell below its baseline wraps modulo 2^64.
      {{0, 0}, {0, 1}, {0xFFFFFFFF, 0xFFFFFFFF}},
  };
  for (const DiffCase& c : cases) {
    SCOPED_TRACE(c.counter.Text() + " - " + c.baseline.Text());
    EXPECT_EQ(c.counter.Difference(c.baseline), c.expected);
    EXPECT_EQ(c.counter - c.baseline, c.expected);
  }
  EXPECT_EQ((Counter64(2, 5) - Counter64(1, 6)).Text(), "4294967295");
}

}  // namespace
}  // namespace quivera
