// Adapter lists over in-process emulated stations for the flash command
// tests: each adapter is a DriverAdapter whose requests a Station answers
// and a log counts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adapter/adapter_list.h"
#include "adapter/driver_adapter.h"
#include "emulator/default_station.h"
#include "emulator/emulator_channel.h"

namespace quivera {

class EmulatedAdapters {
 public:
  // One adapter per device name ("korap1", "korae1", ...), each on a default
  // station for that device; the first is current.
  explicit EmulatedAdapters(const std::vector<std::string>& devices = {"korap1"}) {
    for (const std::string& device : devices) {
      auto station = std::make_shared<Station>();
      LoadDefaultStation(*station, device);
      auto channel = std::make_unique<EmulatorChannel>(station);
      logs_.push_back(channel->log());
      stations_.push_back(station);
      list.Add(std::make_unique<DriverAdapter>(std::move(channel), "QVAdapter",
                                               "\\Device\\" + device));
    }
  }

  Station& station(size_t n = 0) { return *stations_.at(n); }
  ChannelRequestLog& log(size_t n = 0) { return *logs_.at(n); }
  // Requests of the firmware steps and of the adapter control.
  int FirmwareRequests(size_t n = 0) {
    return log(n).CountOid(kOidFirmwarePrepare) + log(n).CountOid(kOidFirmwareLoad) +
           log(n).CountOid(kOidFirmwareCommit) + log(n).CountOid(kOidAdapterControl);
  }

  AdapterList list;

 private:
  std::vector<std::shared_ptr<Station>> stations_;
  std::vector<std::shared_ptr<ChannelRequestLog>> logs_;
};

}  // namespace quivera
