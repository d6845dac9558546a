// The firmware revision text shared by the pages, the hypertext pages and
// the firmware upgrade's revision question.
#include "present/firmware_revision.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "adapter/little_endian.h"
#include "adapter/revision_word.h"

namespace quivera {
namespace {

TEST(FirmwareRevisionTextTest, LastByteFirstUpToANul) {
  struct Case {
    std::array<uint8_t, 4> bytes;
    const char* text;
  };
  const Case cases[] = {
      {{'0', '2', '.', '1'}, "1.20"},     {{'D', 'C', 'B', 'A'}, "ABCD"},
      {{0, '2', '.', '1'}, "1.2"},  // padded with a zero byte
      {{'0', 0, '.', '1'}, "1."},         {{'0', '2', '.', 0}, ""},
      {{0x95, 'x', 'y', 'z'}, "zyx\x95"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FirmwareRevisionText(c.bytes), c.text);
  }
}

// What the test adapters and the emulator put in the word is what the pages
// show: the word goes out little-endian, the text reads it backwards.
TEST(FirmwareRevisionTextTest, ShowsTheCharactersOfARevisionWord) {
  for (const char* text : {"3.10", "v1.0", "E3.2"}) {
    char four[5] = {};
    std::copy(text, text + 4, four);
    std::array<uint8_t, 4> bytes{};
    StoreU32(bytes.data(), RevisionWord(four));
    EXPECT_EQ(FirmwareRevisionText(bytes), text);
  }
}

}  // namespace
}  // namespace quivera
