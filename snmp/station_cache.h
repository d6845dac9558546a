// The sub-agent's copy of every station's values, made at most once per
// refresh cycle, so that however many SNMP managers walk the tables each
// reply block is asked of the driver at most once a cycle (the window and
// the Hypertext Connection share the same cached blocks).
//
// The values are read on a thread of the cache's own. A reader waits for
// them at most 'wait' (less than the SNMP master's timeout); when the driver
// is slower it gets the previous cycle's copy at once, and no later reader
// of that cycle waits again, so a walk is never held up by a slow driver.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "adapter/adapter_list.h"
#include "snmp/fddi_mib.h"

namespace quivera {

class StationCache {
 public:
  // 'list' must outlive the cache. The list's RefreshCount tells the cycles
  // apart.
  StationCache(AdapterList& list, std::chrono::milliseconds wait);
  // Stops the thread; a read in progress gives up its driver request within
  // a fraction of a second, whatever the driver does.
  ~StationCache();
  StationCache(const StationCache&) = delete;
  StationCache& operator=(const StationCache&) = delete;

  // This cycle's view, read now when no copy of this cycle exists yet; the
  // previous copy when reading takes longer than 'wait'; an empty view when
  // there was never one. Never null.
  std::shared_ptr<const MibView> View();

  // Forgets the copy (after a set), so that the next View reads again.
  void Invalidate();

  // How many times the stations were read (tests).
  uint64_t reads() const;

 private:
  void Run();

  AdapterList& list_;
  const std::chrono::milliseconds wait_;

  mutable std::mutex mutex_;
  std::condition_variable work_;  // the thread waits here for a request
  std::condition_variable done_;  // readers wait here for a copy
  std::shared_ptr<const MibView> view_;
  bool have_cycle_ = false;       // view_ belongs to cycle_
  uint64_t cycle_ = 0;
  bool requested_ = false;        // a read is asked for or running
  bool late_ = false;             // the read for late_cycle_ missed its wait
  uint64_t late_cycle_ = 0;
  uint64_t reads_ = 0;
  bool stop_ = false;
  std::atomic<bool> running_{true};  // the thread's stop scope watches it
  std::thread thread_;
};

}  // namespace quivera
