// The adapter list the page fuzz targets answer over: a simulated adapter, a
// DriverAdapter talking to an in-process emulated station with the default
// content, and a second simulated adapter, so that requests reach both the
// simulated values and the driver request path. Everything is deterministic
// (fixed random numbers, counters frozen), so a saved input replays the same.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "adapter/adapter_list.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"
#include "web/system_facts.h"

namespace quivera {

struct FuzzAdapters {
  FuzzAdapters();

  AdapterList adapters;
  std::shared_ptr<Station> station;                 // adapter 2's station
  std::shared_ptr<ChannelRequestLog> station_log;  // requests the emulated station carried
  std::atomic<int32_t> last_port_shown{0};
  SystemFacts facts;
};

// Upper-cases ASCII letters, as the server does with a request.
std::string UpperAscii(const uint8_t* data, size_t size);

// Stops the process with a message naming 'what' (an oracle of a target
// failed), so that libFuzzer records the input as a crash.
[[noreturn]] void FuzzFail(const char* what);

}  // namespace quivera
