// Entry point of quivera: parses the command line and runs the program
// headless or windowed.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/display_check.h"
#include "app/headless.h"
#include "app/options.h"
#ifdef QUIVERA_HAVE_UI
#include "app/ui/windowed_main.h"
#endif

int main(int argc, char** argv) {
  // No peer ends the program: a library that writes to a socket its peer has
  // closed (the SNMP master's session, a browser) gets an error, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
#ifdef QUIVERA_HAVE_UI
  constexpr bool kWindowed = true;
#else
  constexpr bool kWindowed = false;
#endif
  quivera::Options options;
  std::string error;
  switch (quivera::ParseOptions(argc, argv, &options, &error)) {
    case quivera::ParseOutcome::kHelp:
      std::fputs(quivera::UsageText(kWindowed).c_str(), stdout);
      return 0;
    case quivera::ParseOutcome::kUsageError:
      std::fprintf(stderr, "quivera: %s\n%s\n", error.c_str(), quivera::UsageLine().c_str());
      return 2;
    case quivera::ParseOutcome::kRun:
      break;
  }
#ifdef QUIVERA_HAVE_UI
  if (!options.headless) {
    const std::string no_display = quivera::NoDisplayMessage(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    if (!no_display.empty()) {
      std::fprintf(stderr, "quivera: %s\n", no_display.c_str());
      return 1;
    }
    return quivera::RunWindowed(argc, argv, options);
  }
#endif
  return quivera::RunHeadless(options);
}
