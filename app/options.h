// The command line of quivera:
//   quivera [--settings FILE] [--test-mode] [--headless] [--device-dir DIR]
//           [--agentx[=SOCKET]] [--metrics [ADDRESS:]PORT] [--change-log FILE]
// read from a table of options; "--help" asks for the usage text. A value may
// follow its option as the next word or after '=' ("--settings=FILE"); the
// optional value of --agentx only after '='.
#pragma once

#include <string>

#include "web/metrics_listener.h"

namespace quivera {

struct Options {
  std::string settings_path;        // empty until parsed: the default path
  bool test_mode = false;           // as if "TestMode" were 1, for this run only
  bool headless = false;            // run without windows
  std::string device_dir = "/dev";  // where the adapters' driver devices are
  bool agentx = false;              // serve the FDDI MIB through the SNMP master agent
  std::string agentx_socket;        // the master's AgentX socket; empty: its default
  std::string metrics;              // "[ADDRESS:]PORT" of the metrics listener; empty: none
  MetricsAddress metrics_address;   // 'metrics' read, when given
  std::string change_log;           // file the change record is appended to; empty: none
};

enum class ParseOutcome {
  kRun,         // '*options' is complete
  kHelp,        // "--help" was given: print UsageText(), exit 0
  kUsageError,  // '*error' says what was wrong: print it and UsageLine(), exit 2
};

// Parses argv[1..argc-1] into '*options', starting from the defaults (the
// settings path is DefaultSettingsPath() unless given). On kUsageError
// '*error' holds one line naming the offending word; '*options' is then
// unspecified.
ParseOutcome ParseOptions(int argc, const char* const* argv, Options* options, std::string* error);

// "usage: quivera [--settings FILE] ..." (one line, no line break).
std::string UsageLine();

// The usage line and one line per option. 'windowed' says whether this build
// has the windowed program, which decides what running without --headless
// means.
std::string UsageText(bool windowed);

}  // namespace quivera
