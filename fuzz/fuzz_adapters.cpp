#include "fuzz/fuzz_adapters.h"

#include <cstdio>
#include <cstdlib>

#include "adapter/driver_adapter.h"
#include "adapter/simulated_adapter.h"
#include "emulator/default_station.h"
#include "emulator/station.h"

namespace quivera {

namespace {

// A fixed sequence instead of the clock-seeded one, for replayable inputs.
SimulatedAdapter::RandomSource FixedRandom() {
  auto state = std::make_shared<uint32_t>(12345);
  return [state] {
    *state = *state * 1103515245u + 12345u;
    return *state >> 16;
  };
}

// The default content, made once: loading it costs more than most requests.
const Station& DefaultStation() {
  static const Station* const station = [] {
    auto* loaded = new Station;
    LoadDefaultStation(*loaded, "korap1");
    loaded->before_request = nullptr;  // counters stay as loaded
    return loaded;
  }();
  return *station;
}

}  // namespace

FuzzAdapters::FuzzAdapters() {
  adapters.Add(std::make_unique<SimulatedAdapter>(FixedRandom()));
  station = std::make_shared<Station>(DefaultStation());
  auto channel = std::make_unique<EmulatorChannel>(station);
  station_log = channel->log();
  adapters.Add(
      std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterB", "\\Device\\korap1"));
  adapters.Add(std::make_unique<SimulatedAdapter>(FixedRandom()));
  facts.os_version = "Debian GNU/Linux 12 (bookworm)";
  facts.build_number = "6.1.0-13-amd64";
  facts.system_type = "x86_64";
}

std::string UpperAscii(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void FuzzFail(const char* what) {
  std::fprintf(stderr, "fuzz oracle failed: %s\n", what);
  std::abort();
}

}  // namespace quivera
