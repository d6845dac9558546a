// The metrics listener's copy of every adapter's values, read at most once
// per refresh cycle whoever asks, so that however many scrapers come each
// reply block is asked of the driver at most once a cycle (the window, the
// Hypertext Connection and the SNMP sub-agent share the same cached blocks).
//
// Every adapter is read on a thread of its own, so a stopped driver holds up
// the copy of its own adapter only. A scrape waits for this cycle's copies at
// most 'wait'; an adapter whose read is later than that is shown as not read
// (its series go stale, its up gauge drops to 0), and no later scrape of
// that cycle waits for it again.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "adapter/adapter_list.h"
#include "web/metrics_values.h"

namespace quivera {

// One adapter as a scrape sees it.
struct AdapterCopy {
  std::shared_ptr<const AdapterMetrics> values;  // the latest read; null before the first
  bool fresh = false;  // read in the current cycle and the adapter answered
};

class MetricsCache {
 public:
  // 'list' must outlive the cache; its adapters are counted now (the list
  // does not change after start-up). The list's RefreshCount tells the
  // cycles apart.
  MetricsCache(AdapterList& list, std::chrono::milliseconds wait);
  // Stops the threads; a read in progress gives up its driver request within
  // a fraction of a second, whatever the driver does.
  ~MetricsCache();
  MetricsCache(const MetricsCache&) = delete;
  MetricsCache& operator=(const MetricsCache&) = delete;

  // Every adapter's copy for the current cycle, in list order, reading the
  // adapters that have none yet and waiting at most 'wait' for them. Gives
  // up the wait early when the calling thread is asked to stop.
  std::vector<AdapterCopy> Snapshot();

  // How many adapter reads were made (tests).
  uint64_t reads() const;

 private:
  struct Slot {
    AdapterMetricsReader reader;  // its thread's only
    std::shared_ptr<const AdapterMetrics> values;
    uint64_t cycle = 0;        // the cycle 'values' belongs to
    bool requested = false;    // a read is asked for or running
    bool late = false;         // the read for late_cycle kept a scrape waiting too long
    uint64_t late_cycle = 0;
    std::thread thread;
  };
  void Run(size_t index);
  bool Current(const Slot& slot, uint64_t cycle) const {
    return slot.values != nullptr && slot.cycle >= cycle;
  }

  AdapterList& list_;
  const std::chrono::milliseconds wait_;

  mutable std::mutex mutex_;
  std::condition_variable work_;  // the threads wait here for a request
  std::condition_variable done_;  // scrapes wait here for copies
  std::vector<std::unique_ptr<Slot>> slots_;
  uint64_t reads_ = 0;
  bool stop_ = false;
  std::atomic<bool> running_{true};  // the threads' stop scopes watch it
};

}  // namespace quivera
