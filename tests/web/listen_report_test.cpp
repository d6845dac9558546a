// The operator's line about the hypertext server's listening socket.
#include "web/listen_report.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quivera {
namespace {

TEST(ListenReportTest, TellsTheAddressOrThePortAndTheSettingToChange) {
  struct Case {
    ListenReport report;
    const char* settings_path;
    const char* text;
  };
  const Case cases[] = {
      {{8080, 0},
       "/home/op/q.ini",
       "Serving the pages on port 8080 of every address of this host: http://localhost:8080/"},
      {{80, EACCES},
       "/home/op/q.ini",
       "Cannot listen on port 80 (Permission denied); trying again every second. Set WebPortID "
       "in the [State] section of /home/op/q.ini to a free port above 1023."},
      {{8080, EADDRINUSE},
       "",
       "Cannot listen on port 8080 (Address already in use); trying again every second. Set "
       "WebPortID in the [State] section of the settings file to a free port."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ListenReportText(c.report, c.settings_path), c.text);
  }
}

}  // namespace
}  // namespace quivera
