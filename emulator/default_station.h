// The content the station emulator serves when no station file says
// otherwise: a live-looking dual-attachment station with two ports (A and B)
// in the ring, plausible management values, addresses, flash areas and error
// log, and counters that grow between queries.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emulator/station.h"

namespace quivera {

// The counters of a live station: frame, byte and token counters grow at a
// steady rate (at least by one at every request, so two queries always
// differ); error counters grow slowly with time. Before every request the
// current values are written into the station. A pinned counter is left as
// the station holds it (a station file set it).
class LiveCounters {
 public:
  using Clock = std::chrono::steady_clock;
  using Now = std::function<Clock::time_point()>;

  // 'now' gives the time (tests pass their own clock).
  explicit LiveCounters(Now now = Clock::now);

  // Adds the counters of the default content, with their starting values.
  void AddDefaultCounters(const std::string& device);
  // Grows the counters by the time since the last call and writes them into
  // 'station'. The first call only writes.
  void Advance(Station& station);

  // Stops updating the standard OID 'oid' / every counter that overlaps
  // 'size' bytes at 'offset' of the reply block of request 'code'.
  void PinOid(uint32_t oid);
  void PinBlockBytes(int code, size_t offset, size_t size);

  size_t counter_count() const { return counters_.size(); }

 private:
  struct Counter {
    uint32_t oid;   // standard OID (4-byte reply), or 0 for a block counter
    int code;       // request code of the block (block counters)
    size_t offset;  // of the high word in the block: a u64, high word first
    double rate;    // growth per second
    bool busy;      // grows at least one per Advance
    uint64_t value;
    double fraction;  // growth not yet added
    bool pinned;
  };
  void AddOid(uint32_t oid, double rate, bool busy, uint64_t start);
  void AddBlock(size_t offset, double rate, bool busy, uint64_t start);
  void Write(Station& station) const;

  Now now_;
  bool started_ = false;
  Clock::time_point last_{};
  std::vector<Counter> counters_;
};

// True for the device names the emulator serves: korae1..korae9, korap1..korap9.
bool IsEmulatedDevice(const std::string& device);

// Fills 'station' with the default content for 'device' (addresses differ by
// device so several stations can be told apart) and installs the
// before_request hook that grows its counters. Returns the counters (shared
// with the hook), so that values set afterwards can be pinned.
std::shared_ptr<LiveCounters> LoadDefaultStation(Station& station, const std::string& device);

}  // namespace quivera
