// The windowed program: start-up, the main window's life and exit. main()
// calls RunWindowed when the program was built with the window toolkit and
// was not asked to run headless.
#pragma once

namespace quivera {

struct Options;

// Runs the windowed program with the command line 'argc'/'argv' (handed on to
// the toolkit) and the parsed 'options'. SIGINT and SIGTERM close the window
// and end the run like its close button. Returns the process exit code: 0
// after a normal exit or a stop signal and when another copy was already
// running (that copy is brought to the front instead); 1 when start-up failed
// or the settings could not be written at exit.
int RunWindowed(int argc, char** argv, const Options& options);

}  // namespace quivera
