#include "emulator/emulator_program.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "emulator/default_station.h"
#include "emulator/emulator_options.h"
#include "emulator/emulator_server.h"
#include "emulator/station.h"
#include "emulator/station_file.h"

namespace quivera {

namespace {

// The stop pipe of the running server, for the signal handler.
volatile sig_atomic_t g_stop_fd = -1;

extern "C" void OnStopSignal(int) {
  const int saved = errno;
  if (g_stop_fd >= 0) {
    const char byte = 1;
    ssize_t ignored = write(g_stop_fd, &byte, 1);
    (void)ignored;
  }
  errno = saved;
}

void Message(const std::string& text) {
  std::fprintf(stderr, "station-emulator: %s\n", text.c_str());
}

struct ServedStation {
  std::unique_ptr<Station> station;
  std::shared_ptr<LiveCounters> live;
};

// What a station file entry sets is served as given: the live counters leave it.
void Pin(const StationFileEntry& entry, LiveCounters& live) {
  switch (entry.kind) {
    case StationFileEntry::Kind::kOid:
      live.PinOid(entry.oid);
      break;
    case StationFileEntry::Kind::kBlock:
      live.PinBlockBytes(entry.code, entry.offset, entry.bytes.size());
      break;
    default:
      break;
  }
}

}  // namespace

int RunStationEmulator(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  EmulatorOptions options;
  std::string error;
  if (!ParseEmulatorOptions(args, &options, &error)) {
    Message(error);
    std::fputs(kEmulatorUsage, stderr);
    return kEmulatorExitUsage;
  }
  if (options.help) {
    std::fputs(kEmulatorUsage, stdout);
    return kEmulatorExitOk;
  }

  std::map<std::string, ServedStation> stations;
  for (const std::string& device : options.devices) {
    ServedStation served;
    served.station = std::make_unique<Station>();
    served.live = LoadDefaultStation(*served.station, device);
    stations[device] = std::move(served);
  }
  if (!options.station_file.empty()) {
    std::vector<StationFileEntry> entries;
    if (!LoadStationFile(options.station_file, options.devices, &entries, &error)) {
      Message(error);
      return kEmulatorExitUsage;
    }
    for (const StationFileEntry& entry : entries) {
      ServedStation& served = stations.at(entry.device);
      if (ApplyStationEntry(entry, *served.station) != 0) {
        Message(options.station_file + ":" + std::to_string(entry.line) +
                ": the station refuses this value");
        return kEmulatorExitUsage;
      }
      Pin(entry, *served.live);
    }
  }

  std::FILE* log = nullptr;
  if (!options.log_file.empty()) {
    log = std::fopen(options.log_file.c_str(), "a");
    if (log == nullptr) {
      Message(options.log_file + ": cannot open the log: " + std::strerror(errno));
      return kEmulatorExitFailure;
    }
  }

  int status = kEmulatorExitOk;
  {
    EmulatorServer server;
    server.SetLog(log);
    server.SetRequestDelay(std::chrono::milliseconds(options.delay_ms));
    // Signals only write to the server's stop pipe; one that arrives before
    // serving starts is still seen by Run.
    g_stop_fd = server.stop_fd();
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::string served_paths;
    for (const std::string& device : options.devices) {
      if (server.AddEndpoint(options.dir, device, stations.at(device).station.get(), &error) != 0) {
        Message(error);
        status = kEmulatorExitFailure;
        break;
      }
      served_paths += " " + device;
    }
    if (status == kEmulatorExitOk) {
      std::printf("station-emulator: serving%s in %s\n", served_paths.c_str(), options.dir.c_str());
      std::fflush(stdout);
      if (server.Run() != 0) {
        Message(std::string("waiting for requests failed: ") + std::strerror(errno));
        status = kEmulatorExitFailure;
      }
    }
    server.RemoveEndpoints();
    g_stop_fd = -1;
  }
  if (log != nullptr) std::fclose(log);
  return status;
}

}  // namespace quivera
