// The ordered list of up to 16 opened adapters and the current one. Two
// threads use it: the user-interface thread (timer, pages, commands) and the
// hypertext server's worker. One mutex makes every adapter operation made
// through the list, and every change of the current adapter, atomic towards
// the other thread. Nobody keeps an Adapter* between calls: ask the list.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

#include "adapter/adapter.h"

namespace quivera {

class AdapterList {
 public:
  static constexpr int kMaxAdapters = 16;

  AdapterList() = default;
  AdapterList(const AdapterList&) = delete;
  AdapterList& operator=(const AdapterList&) = delete;
  ~AdapterList();  // deletes the adapters (closing their driver channels)

  // Appends an adapter. Returns 0, or 1 (and drops the adapter) when the list
  // already holds kMaxAdapters.
  int Add(std::unique_ptr<Adapter> adapter);

  int Count() const;
  // 0-based index of the current adapter (0 while the list is empty).
  int CurrentIndex() const;
  // Makes element 'index' (0-based) current. Returns 0, or 1 when out of range.
  int SetCurrent(int index);

  // The operations of the current adapter, each atomic towards the other
  // thread. With an empty list they return 1 (FirmwareStatus 0) and do nothing.
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0);
  int SetItem(ManagementItem item, const void* buffer, size_t length, int index = 0);
  int FirmwarePrepare();
  int FirmwareLoad(void* buffer, size_t length);
  int FirmwareCommit();
  int FirmwareStatus();
  int Control(int action);
  int CheckDriverVersion();
  void BeginRefresh();
  void SamplePerformance(int refresh_rate);

  // Starts a refresh cycle on every adapter, not only the current one, so
  // that readers of the other adapters (the SNMP sub-agent) see fresh values
  // too; an adapter only fetches a reply block again when it is next read.
  // Counts the cycle.
  void BeginRefreshAll();
  // How many BeginRefreshAll cycles have begun: readers that keep copies of
  // values for one cycle compare it to know when theirs is out of date.
  uint64_t RefreshCount() const { return refresh_count_.load(); }

  // Runs 'fn(Adapter&)' on the current adapter under the lock, for the rare
  // sequence that must not interleave with the other thread. Returns 1 without
  // calling 'fn' when the list is empty, else what 'fn' returns.
  template <class Fn>
  int WithCurrent(Fn&& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_ == 0) return 1;
    return std::forward<Fn>(fn)(*adapters_[static_cast<size_t>(current_)]);
  }

  // The same on element 'index' (0-based) whether or not it is current, for
  // a command that must stay with the adapter it started on while the other
  // thread may choose another one, and for readers of every adapter (the
  // SNMP sub-agent). Returns 1 without calling 'fn' when there is no element
  // 'index'.
  template <class Fn>
  int WithAdapter(int index, Fn&& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || index >= count_) return 1;
    return std::forward<Fn>(fn)(*adapters_[static_cast<size_t>(index)]);
  }

 private:
  mutable std::mutex mutex_;
  std::array<std::unique_ptr<Adapter>, kMaxAdapters> adapters_;
  int count_ = 0;
  int current_ = 0;
  std::atomic<uint64_t> refresh_count_{0};
};

// Convenience readers over the list (or any adapter) for callers that only
// want a number: return 0 and store the value, or 1 when unavailable.
int GetU32(AdapterList& list, ManagementItem item, uint32_t* value, int index = 0);
int GetU64(AdapterList& list, ManagementItem item, uint64_t* value, int index = 0);

}  // namespace quivera
