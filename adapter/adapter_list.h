// The ordered list of up to 16 opened adapters and the current one. Two
// threads use it: the user-interface thread (timer, pages, commands) and the
// hypertext server's worker. Each adapter has a lock of its own, held for
// one operation (at most one driver request for a read or a set), and the
// list's own lock guards only which adapter is current, so neither thread
// waits on the other for longer than one driver request, and never for a
// request to another adapter. Nobody keeps an Adapter* between calls: ask
// the list.
//
// A step that asks, then acts (a confirmation, then a reset; a switch, then
// a refresh; the many reads of one page) pins its thread's view of the list
// with a Pin, so the other thread's switch in between cannot send it to an
// adapter it did not mean.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

#include "adapter/adapter.h"
#include "adapter/thread_stop.h"

namespace quivera {

class AdapterHandle;

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
  // 0-based index of the current adapter as the calling thread sees it: the
  // pinned one inside a Pin, else the list's (0 while the list is empty).
  int CurrentIndex() const;
  // Makes element 'index' (0-based) current, and moves the calling thread's
  // innermost pin on this list along with it. Returns 0, or 1 when out of
  // range.
  int SetCurrent(int index);

  // A handle to element 'index': every operation through it goes to that
  // adapter, whatever is made current meanwhile. A command that asks the
  // user or pauses keeps its handle across the wait.
  AdapterHandle At(int index);
  // A handle to the adapter current now (as CurrentIndex sees it), read once.
  AdapterHandle Current();

  // For its life, every operation the constructing thread makes through
  // 'list', and its CurrentIndex, go to one adapter, whatever the other
  // thread makes current meanwhile. Pins nest; the innermost counts.
  class Pin {
   public:
    // Pins the adapter current now.
    explicit Pin(AdapterList& list);
    // Pins element 'index' (an index outside the list pins nothing there:
    // operations then fail as on an empty list).
    Pin(AdapterList& list, int index);
    ~Pin();
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;

   private:
    friend class AdapterList;
    const AdapterList* list_;
    int index_;
    Pin* outer_;
  };

  // The operations of the current adapter, each atomic towards the other
  // thread. With an empty list, or when the calling thread is asked to stop
  // (ThreadStopScope) before the adapter is free, they return 1
  // (FirmwareStatus 0) and do nothing.
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

  // Runs 'fn(Adapter&)' on element 'index' under that adapter's lock, for a
  // sequence that must not interleave with the other thread (a command that
  // must stay with the adapter it started on, a reader of every adapter such
  // as the SNMP sub-agent). Returns 1 without calling 'fn' when there is no
  // such adapter or the thread was asked to stop while waiting for it, else
  // what 'fn' returns.
  template <class Fn>
  int WithAdapter(int index, Fn&& fn) {
    Slot* slot = SlotAt(index);
    if (slot == nullptr || !TakeUnlessStopped(*slot)) return 1;
    const Taken taken(*slot);
    return std::forward<Fn>(fn)(*slot->adapter);
  }

 private:
  // One adapter and its lock: 'busy' while an operation runs on it. (A flag
  // under a mutex rather than a timed mutex, so that the wait can look at the
  // thread's stop request with waits every tool understands.)
  struct Slot {
    std::unique_ptr<Adapter> adapter;
    std::mutex mutex;  // guards busy
    std::condition_variable freed;
    bool busy = false;
  };
  // Gives the slot back when the operation ends.
  struct Taken {
    explicit Taken(Slot& s) : slot(s) {}
    ~Taken() { Give(slot); }
    Taken(const Taken&) = delete;
    Taken& operator=(const Taken&) = delete;
    Slot& slot;
  };

  Slot* SlotAt(int index);
  Pin* PinOf() const;  // the calling thread's innermost pin on this list
  // Takes the adapter for one operation, looking at the thread's stop request
  // while it waits. False (not taken) when stop was asked first.
  static bool TakeUnlessStopped(Slot& slot);
  static void Give(Slot& slot);

  mutable std::mutex mutex_;  // guards count_, current_ and filling the slots
  std::array<Slot, kMaxAdapters> slots_;
  int count_ = 0;
  int current_ = 0;
  std::atomic<uint64_t> refresh_count_{0};
};

// One adapter of a list, by index: a small value to keep for the steps of
// one command. Each operation runs on that adapter under its lock, atomic
// towards the other threads; with no such adapter, or when the calling thread
// is asked to stop (ThreadStopScope) before the adapter is free, it returns 1
// (FirmwareStatus 0) and does nothing. 'instance' is the port (0, 1) of a
// per-port item or the entry (0..3) of the error log.
class AdapterHandle {
 public:
  AdapterHandle(AdapterList& list, int index) : list_(&list), index_(index) {}

  int index() const { return index_; }

  int GetItem(ManagementItem item, void* buffer, size_t* length, int instance = 0);
  int SetItem(ManagementItem item, const void* buffer, size_t length, int instance = 0);
  int FirmwarePrepare();
  int FirmwareLoad(void* buffer, size_t length);
  int FirmwareCommit();
  int FirmwareStatus();  // 0 when the request failed or there is no adapter
  int Control(int action);
  int CheckDriverVersion();
  void BeginRefresh();
  void SamplePerformance(int refresh_rate);

  // Runs 'fn(Adapter&)' under the adapter's lock, for a sequence that must
  // not interleave with another thread's operations on it (a read-modify-
  // write); as AdapterList::WithAdapter.
  template <class Fn>
  int With(Fn&& fn) {
    return list_->WithAdapter(index_, std::forward<Fn>(fn));
  }

 private:
  AdapterList* list_;
  int index_;
};

// Convenience readers for callers that only want a number: return 0 and
// store the value, or 1 when unavailable. Over a list they read the current
// adapter.
int GetU32(AdapterHandle adapter, ManagementItem item, uint32_t* value, int index = 0);
int GetU64(AdapterHandle adapter, ManagementItem item, uint64_t* value, int index = 0);
int GetU32(AdapterList& list, ManagementItem item, uint32_t* value, int index = 0);
int GetU64(AdapterList& list, ManagementItem item, uint64_t* value, int index = 0);

}  // namespace quivera
