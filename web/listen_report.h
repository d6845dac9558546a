// What the hypertext server tells about its listening socket, and the one
// line the programs show for it, so an operator learns where the pages are,
// or why there are none.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quivera {

struct ListenReport {
  int32_t port = 0;
  int error = 0;  // 0: listening on 'port'; otherwise why it could not (an errno value)
};

// Called on the server's worker thread.
using ListenReporter = std::function<void(const ListenReport&)>;

// The line for 'report': the address the pages are served at, or the port
// that cannot be listened on with the reason and the "WebPortID" setting to
// change (in the file 'settings_path', when not empty).
std::string ListenReportText(const ListenReport& report, const std::string& settings_path);

}  // namespace quivera
