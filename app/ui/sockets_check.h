// Whether this run can offer the hypertext server at all: a TCP socket must
// be creatable. When it is not, the user is warned once at start-up and the
// server is never started in this run.
#pragma once

#include <functional>

namespace quivera {

class UiServices;

inline constexpr char kSocketsUnavailableText[] =
    "Cannot initialize sockets interface.  Hypertext Server functions disabled.";

// True when a TCP stream socket can be created (it is closed again at once).
bool CanCreateTcpSocket();

// Runs 'probe' (CanCreateTcpSocket by default); on false shows the warning
// above (caption "QUIVERA/FDDI", warning icon). Returns the probe's answer.
bool CheckSockets(UiServices& ui, const std::function<bool()>& probe = CanCreateTcpSocket);

}  // namespace quivera
