// The command line of the station-emulator program:
//   station-emulator --dir DIR [--station FILE] [--log FILE] [--delay MS] DEVICE...
#pragma once

#include <string>
#include <vector>

namespace quivera {

struct EmulatorOptions {
  std::string dir;                   // where the device sockets are made
  std::string station_file;          // empty: default content only
  std::string log_file;              // empty: no request log
  int delay_ms = 0;                  // how long each request takes, as a slow driver's
  std::vector<std::string> devices;  // korae1..korae9, korap1..korap9, each once
  bool help = false;                 // --help: print the usage and stop
};

// The usage text (several lines, ends with a line end).
extern const char kEmulatorUsage[];

// Parses the arguments after the program name. Options take their value as
// the next argument or after '=' (--dir=DIR). Returns true, or false with a
// one-line message in *error: an unknown option, a missing value, no --dir,
// no device, a device name outside the served set, a device named twice, a
// delay that is not a whole number of milliseconds from 0 to 60000.
bool ParseEmulatorOptions(const std::vector<std::string>& args, EmulatorOptions* options,
                          std::string* error);

}  // namespace quivera
