// The station-emulator program as a function, so main stays a one-liner.
#pragma once

namespace quivera {

// Exit statuses of the program.
inline constexpr int kEmulatorExitOk = 0;       // served until SIGINT or SIGTERM
inline constexpr int kEmulatorExitFailure = 1;  // an endpoint or the log could not be made
inline constexpr int kEmulatorExitUsage = 2;    // bad command line or station file

// Parses the command line (kEmulatorUsage), builds one station per device
// (default content, then the station file's values), makes the endpoints
// and serves them until SIGINT or SIGTERM; then removes the endpoints.
// Messages go to stderr, prefixed "station-emulator: ".
int RunStationEmulator(int argc, char** argv);

}  // namespace quivera
