// Helpers shared by the emulator tests: a temporary folder and management
// queries against a Station or a driver channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "adapter/driver_channel.h"
#include "emulator/emulator_server.h"
#include "emulator/station.h"

namespace quivera {

// A fresh folder under /tmp (short, so socket paths fit), removed with its
// content when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A default station served on '<dir>/<device>' by its own thread, stopped and
// joined by Stop or the destructor. 'log' (may be null) receives the request
// log. The station may be read only after Stop.
class ServedStation {
 public:
  explicit ServedStation(const std::string& dir, const std::string& device = "korap1",
                         std::FILE* log = nullptr);
  ~ServedStation() { Stop(); }
  ServedStation(const ServedStation&) = delete;
  ServedStation& operator=(const ServedStation&) = delete;
  void Stop();
  bool added() const { return added_; }
  const std::string& error() const { return error_; }
  EmulatorServer& server() { return server_; }
  Station& station() { return station_; }

 private:
  Station station_;
  EmulatorServer server_;
  std::thread thread_;
  bool added_ = false;
  std::string error_;
};

struct BlockReply {
  int status = 1;
  size_t returned = 0;
  std::vector<uint8_t> bytes;  // the 512-byte buffer after the request

  uint32_t U32(size_t offset) const;
  // A u64 counter at 'offset': high word first.
  uint64_t U64(size_t offset) const;
};

// Sends the query of management request 'code' (entry 'index' for code 10).
BlockReply QueryBlock(Station& station, uint32_t code, uint32_t index = 0);
BlockReply QueryBlock(DriverChannel& channel, uint32_t code, uint32_t index = 0);
// Sends a caller-built 512-byte management buffer.
BlockReply SendManagement(DriverChannel& channel, std::vector<uint8_t> buffer);

// A 4-byte standard query; returns the status and stores the word.
int QueryU32(DriverChannel& channel, uint32_t oid, uint32_t* value);

}  // namespace quivera
