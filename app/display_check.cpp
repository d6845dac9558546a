#include "app/display_check.h"

#include <string_view>

namespace quivera {

namespace {

bool Set(const char* value) { return value != nullptr && *value != '\0'; }

constexpr char kWayOut[] = "; run with --headless to serve the pages without windows";

}  // namespace

std::string NoDisplayMessage(const char* platform, const char* display,
                             const char* wayland_display) {
  if (!Set(platform)) {
    if (Set(display) || Set(wayland_display)) return "";
    return std::string("no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY "
                       "is set)") + kWayOut;
  }
  if (std::string_view(platform) == "xcb" && !Set(display)) {
    return std::string("no display to open the window on (DISPLAY is not set)") + kWayOut;
  }
  return "";
}

}  // namespace quivera
