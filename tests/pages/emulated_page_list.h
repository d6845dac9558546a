// An AdapterList holding one driver adapter over an in-process default
// station, for page tests that follow a set down to the station: the
// station's values can be changed, and its request log counts what the page
// sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "adapter/adapter_list.h"
#include "adapter/driver_adapter.h"
#include "adapter/management_request.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"
#include "emulator/station.h"

namespace quivera {

struct EmulatedPageList {
  EmulatedPageList() : station(std::make_shared<Station>()) {
    counters = LoadDefaultStation(*station, "korap1");
    auto channel = std::make_unique<EmulatorChannel>(station);
    log = channel->log();
    list.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapterA", "\\Device\\korap1"));
  }

  // Changes one word of the station's MIB block and starts a new refresh
  // cycle, so the adapter reads the block again.
  void SetMib(size_t offset, uint32_t value) {
    station->SetBlockU32(kCodeMib, offset, value);
    list.BeginRefresh();
  }
  uint32_t Mib(size_t offset) const { return station->BlockU32(kCodeMib, offset); }
  // Management set requests the station received.
  int Sets() const { return log->CountCode(kCodeSetAttributes); }

  std::shared_ptr<Station> station;
  std::shared_ptr<LiveCounters> counters;
  std::shared_ptr<ChannelRequestLog> log;
  AdapterList list;
};

}  // namespace quivera
