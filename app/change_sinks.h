// Where the programs send the change record: the system log (facility
// daemon, identity "quivera", which the journal collects under the service),
// standard error in the run without windows, a file named on the command
// line, and in the window the status bar. Each sink is a plain function of
// the line, so tests put a recorder in place of the system log.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "adapter/change_record.h"
#include "settings/result.h"

namespace quivera {

// The identity the lines carry in the system log.
inline constexpr const char* kChangeLogIdentity = "quivera";
// The caption of a change line on standard error: "QUIVERA/FDDI change: LINE".
inline constexpr const char* kChangeCaption = "QUIVERA/FDDI change";

// Writes one line at one syslog(3) priority.
using SyslogWriter = std::function<void(int priority, const std::string& line)>;

// The system log's writer: opens the log (facility daemon, identity
// "quivera") on first use and writes each line at priority notice.
SyslogWriter SystemSyslogWriter();

// A sink that gives every line to 'writer' at priority notice.
ChangeSink SyslogChangeSink(SyslogWriter writer);

// A sink writing "QUIVERA/FDDI change: LINE" and a line end to 'stream'
// (not owned), flushed at once.
ChangeSink StreamChangeSink(std::FILE* stream);

// Opens 'path' for the record: created when missing (mode 0640), appended to
// with O_APPEND and never truncated, opened without blocking and refused
// unless it is a regular file, so a FIFO or a device cannot hang start-up.
// On success '*sink' writes each line with its line end in one write.
Result OpenChangeFileSink(const std::string& path, ChangeSink* sink);

// Installs 'sinks' for its life and puts back the previous ones when it ends,
// before whatever the sinks write to goes away.
class InstalledChangeSinks {
 public:
  explicit InstalledChangeSinks(std::vector<ChangeSink> sinks)
      : previous_(SetChangeSinks(std::move(sinks))) {}
  ~InstalledChangeSinks() { SetChangeSinks(std::move(previous_)); }
  InstalledChangeSinks(const InstalledChangeSinks&) = delete;
  InstalledChangeSinks& operator=(const InstalledChangeSinks&) = delete;

 private:
  std::vector<ChangeSink> previous_;
};

// The sinks of a program run: the system log through 'syslog', standard
// error ('stream', when not null), and the file 'change_log' (when not
// empty). A file that cannot be opened is left out and '*warning' says why;
// the other sinks still record.
std::vector<ChangeSink> ProgramChangeSinks(SyslogWriter syslog, std::FILE* stream,
                                           const std::string& change_log, std::string* warning);

}  // namespace quivera
