// Whether a remote client (a browser through the Hypertext Connection, or an
// SNMP manager) changed an adapter value since the window last looked. Every
// remote set raises it; the view's next tick consumes it with
// exchange(false), so a set that lands between the test and the clear is
// not lost.
#pragma once

#include <atomic>

namespace quivera {

extern std::atomic<bool> RemoteSetDone;

}  // namespace quivera
