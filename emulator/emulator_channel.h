// A driver channel answered in process by a Station: the unit tests' stand-in
// for the station-emulator program. It records every request it carries so a
// test can count what an operation sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "adapter/driver_channel.h"
#include "emulator/station.h"

namespace quivera {

// One request as the channel saw it: the OID and, for management requests,
// the request code (else -1).
struct RecordedRequest {
  uint32_t oid;
  int code;
};

// The requests a channel carried, in order. Shared between the channel (which
// an adapter owns) and the test that reads it; safe to read from any thread.
class ChannelRequestLog {
 public:
  void Add(RecordedRequest request);
  std::vector<RecordedRequest> Requests() const;
  size_t Count() const;
  // Requests for 'oid' (any code).
  int CountOid(uint32_t oid) const;
  // Management requests with request code 'code'.
  int CountCode(int code) const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

class EmulatorChannel : public DriverChannel {
 public:
  // 'station' must not be null. A fresh log is made unless one is given.
  explicit EmulatorChannel(std::shared_ptr<Station> station,
                           std::shared_ptr<ChannelRequestLog> log = nullptr);

  // Records the request, then lets the station answer it.
  int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) override;

  const std::shared_ptr<Station>& station() const { return station_; }
  const std::shared_ptr<ChannelRequestLog>& log() const { return log_; }

 private:
  std::shared_ptr<Station> station_;
  std::shared_ptr<ChannelRequestLog> log_;
};

}  // namespace quivera
