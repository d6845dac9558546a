// The firmware revision text shared by the pages, the hypertext pages and
// the firmware upgrade's revision question.
#include "present/firmware_revision.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quivera
