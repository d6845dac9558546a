#include "present/win1252.h"

#include <gtest/gtest.h>

#include <string>

namespace quivera {
namespace {

TEST(Win1252Test, Conversions) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"", ""},
      {"Port 0 <a&b>", "Port 0 <a&b>"},
      {"\x95 item", "\xE2\x80\xA2 item"},                                    // bullet
      {"\x80", "\xE2\x82\xAC"},                                              // euro sign
      {"\x9F", "\xC5\xB8"},                                                  // Y with diaeresis
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned
      {"\xA0", "\xC2\xA0"},
      {"caf\xE9", "caf\xC3\xA9"},
      {"\xFF", "\xC3\xBF"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Win1252ToUtf8(c.in), c.out);
  }
}

TEST(Win1252Test, EveryHighByteGivesOneWellFormedCharacter) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const std::string out = Win1252ToUtf8(std::string(1, static_cast<char>(b)));
    SCOPED_TRACE(b);
    ASSERT_GE(out.size(), 2u);
    ASSERT_LE(out.size(), 3u);
    const unsigned lead = static_cast<unsigned char>(out[0]);
    EXPECT_EQ(lead >> (out.size() == 2 ? 5 : 4), out.size() == 2 ? 0x6u : 0xEu);
    for (size_t i = 1; i < out.size(); ++i) {
      EXPECT_EQ(static_cast<unsigned char>(out[i]) >> 6, 0x2u);
    }
  }
}

}  // namespace
}  // namespace quivera
