// The Port page's LED: colour by state and phase, and the blink sequence.
#include "pages/port_page_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quivera {
namespace {

TEST(PortPageLogicTest, EachLedStateBlinksThroughItsColours) {
  struct Case {
    uint32_t state;
    std::vector<std::string> first_four_updates;
  };
  const Case cases[] = {
      {0, {"Grey", "Grey", "Grey", "Grey"}},     {1, {"Red", "Red", "Red", "Red"}},
      {2, {"Red", "Grey", "Red", "Grey"}},       {3, {"Green", "Green", "Green", "Green"}},
      {4, {"Green", "Grey", "Green", "Grey"}},   {5, {"Red", "Green", "Red", "Green"}},
      {6, {"Grey", "Grey", "Grey", "Grey"}},     {7, {"Grey", "Grey", "Grey", "Grey"}},
      {0xFFFFFFFF, {"Grey", "Grey", "Grey", "Grey"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    LedBlinker blinker;
    std::vector<std::string> seen;
    for (int update = 0; update < 4; ++update) seen.push_back(LedColourName(blinker.Update(c.state)));
    EXPECT_EQ(seen, c.first_four_updates);
  }
}

}  // namespace
}  // namespace quivera
