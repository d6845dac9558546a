// station-emulator: serves emulated adapter drivers on Unix-domain sockets.
#include "emulator/emulator_program.h"

int main(int argc, char** argv) { return quivera::RunStationEmulator(argc, argv); }
