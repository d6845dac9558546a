// The run without windows (quivera --headless): the settings, the same
// start-up as the windowed program, then the refresh step every second until
// SIGINT or SIGTERM, then the settings are written back. Messages go to
// standard error, one line each.
#pragma once

namespace quivera {

struct Options;

// Runs the program headless. Returns the exit status: 0 after a stop signal,
// 1 when start-up failed (its message was shown), the stop signals could not
// be watched, or the settings could not be written back. The settings are
// written back in every case; a failure to write them is reported on
// standard error.
int RunHeadless(const Options& options);

}  // namespace quivera
