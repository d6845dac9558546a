// station-emulator: serves emulated adapter drivers on Unix-domain sockets.
#include <csignal>

#include "emulator/emulator_program.h"

int main(int argc, char** argv) {
  // A client that closes its connection before the answer must not end the
  // emulator.
  std::signal(SIGPIPE, SIG_IGN);
  return quivera::RunStationEmulator(argc, argv);
}
