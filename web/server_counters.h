// The two values the hypertext server shares with the view: how many
// connections it accepted, and whether a browser changed an adapter value
// since the view last looked.
#pragma once

#include <atomic>
#include <cstdint>

namespace quivera {

// Connections the hypertext server accepted since start-up (shown by the
// Hypertext Server Configuration dialog).
extern std::atomic<uint32_t> ServerAccessCount;
// Raised by a remote set; the view's next tick consumes it with exchange(false),
// so a set that lands between the test and the clear is not lost.
extern std::atomic<bool> RemoteSetDone;

// Both back to their start-up values (0 and false).
void ResetServerCounters();

}  // namespace quivera
