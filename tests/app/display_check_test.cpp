// When the windowed program refuses to start for want of a display.
#include "app/display_check.h"

#include <gtest/gtest.h>

namespace quivera {
namespace {

TEST(NoDisplayMessageTest, OnlyTheDefaultAndX11PlatformsNeedAnAnnouncedDisplay) {
  struct Case {
    const char* platform;
    const char* display;
    const char* wayland;
    bool refused;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, true},  {"", "", "", true},
      {nullptr, ":0", nullptr, false},    {nullptr, nullptr, "wayland-0", false},
      {"xcb", nullptr, "wayland-0", true}, {"xcb", ":1", nullptr, false},
      {"offscreen", nullptr, nullptr, false}, {"wayland", nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    const std::string message = NoDisplayMessage(c.platform, c.display, c.wayland);
    SCOPED_TRACE(c.platform ? c.platform : "(unset)");
    EXPECT_EQ(!message.empty(), c.refused) << message;
    if (c.refused) {
      EXPECT_NE(message.find("--headless"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace quivera
