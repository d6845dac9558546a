// Whether the window has a display to open on. Without one the toolkit would
// end the program with an abort; a user started over ssh without X
// forwarding, or from a service, gets a message and the way out instead.
#pragma once

#include <string>

namespace quivera {

// The message to show when the window cannot be opened, or empty when it may
// be. Each argument is the environment variable's value, or null when unset:
// QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY. Only the toolkit's default
// platform (QT_QPA_PLATFORM unset or empty) and the X11 one ("xcb") are
// judged; any other platform the user named is trusted.
std::string NoDisplayMessage(const char* platform, const char* display,
                             const char* wayland_display);

}  // namespace quivera
