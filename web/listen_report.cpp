// The operator's line about the hypertext server's listening socket.
#include "web/listen_report.h"

#include <string.h>

#include <cerrno>

namespace quivera {

namespace {

// The system's words for 'error'; safe on any thread.
std::string ErrorText(int error) {
  char buffer[128];
  return ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace

std::string ListenReportText(const ListenReport& report, const std::string& settings_path) {
  const std::string port = std::to_string(report.port);
  if (report.error == 0) {
    return "Serving the pages on port " + port +
           " of every address of this host: http://localhost:" + port + "/";
  }
  std::string text = "Cannot listen on port " + port + " (" + ErrorText(report.error) +
                     "); trying again every second. Set WebPortID in the [State] section of " +
                     (settings_path.empty() ? std::string("the settings file") : settings_path) +
                     " to a free port";
  if (report.error == EACCES && report.port < 1024) text += " above 1023";
  return text + ".";
}

}  // namespace quivera
