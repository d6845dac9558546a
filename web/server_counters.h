// What the hypertext server shares with the view: how many connections it
// accepted, and (from settings/, since SNMP sets raise it too) whether a
// remote client changed an adapter value since the view last looked.
#pragma once

#include <atomic>
#include <cstdint>

#include "settings/remote_set_done.h"

namespace quivera {

// Connections the hypertext server accepted since start-up (shown by the
// Hypertext Server Configuration dialog).
extern std::atomic<uint32_t> ServerAccessCount;

// Both back to their start-up values (0 and false).
void ResetServerCounters();

}  // namespace quivera
