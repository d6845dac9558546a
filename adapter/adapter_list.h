// The ordered list of up to 16 opened adapters and the current one. Many
// threads use it: the window's thread (or the headless tick), the hypertext
// server's worker, the SNMP sub-agent's loop and its station cache reader, a
// flash command's worker, and the background fetch's lanes that read for the
// window. Each adapter has a lock of its own, held for one operation (at most
// one driver request for a read or a set), and the list's own lock guards
// only the count and which adapter is current, so no thread waits on another
// for longer than one driver request, and never for a request to another
// adapter. The window's thread does not wait at all: inside its NoWaitScope
// its reads come from the background fetch, and its writes go there with
// RunThen. Nobody keeps an Adapter* between calls: ask the list.
//
// A page build or a tick, whose many reads must all see one "current"
// adapter, pins its thread's view of the list with a Pin, so a switch made
// by another thread in between cannot send it to an adapter it did not
// mean. A command that asks the user or pauses keeps a handle (At) instead:
// timer refreshes run while it waits.
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
#include "adapter/background_fetch.h"
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
  // 'list', and its CurrentIndex, go to one adapter, whatever another
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
  // threads. SetItem, Control and the firmware steps make the background
  // fetch forget what it kept of that adapter. With an empty list, or when the calling thread is asked to stop
  // (ThreadStopScope) before the adapter is free, they return 1
  // (FirmwareStatus 0) and do nothing. Inside a NoWaitScope, with the
  // background fetch started, GetItem is the fetch's Read and
  // SamplePerformance is run on the adapter's lane: neither waits.
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

  // BeginRefresh starts a refresh cycle on the current adapter, and
  // BeginRefreshAll on every adapter, not only the current one, so that
  // readers of the other adapters (the SNMP sub-agent) see fresh values too;
  // an adapter only fetches a reply block again when it is next read.
  // Neither waits: an adapter busy with another thread's request starts its
  // cycle as soon as that operation ends, before the next one. BeginRefreshAll
  // counts the cycle.
  void BeginRefreshAll();
  // How many BeginRefreshAll cycles have begun: readers that keep copies of
  // values for one cycle compare it to know when theirs is out of date.
  uint64_t RefreshCount() const { return refresh_count_.load(); }

  // Runs 'fn(Adapter&)' on element 'index' under that adapter's lock, for a
  // sequence that must not interleave with other threads (a command that
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
  // As WithAdapter, with 'fn(Adapter&, uint64_t cycle)' also told the
  // adapter's refresh cycle its values belong to (see CycleOf).
  template <class Fn>
  int WithAdapterInCycle(int index, Fn&& fn) {
    Slot* slot = SlotAt(index);
    uint64_t cycle = 0;
    if (slot == nullptr || !TakeUnlessStopped(*slot, &cycle)) return 1;
    const Taken taken(*slot);
    return std::forward<Fn>(fn)(*slot->adapter, cycle);
  }
  // How many refresh cycles element 'index' has begun (BeginRefresh,
  // BeginRefreshAll); false when there is no such adapter. Never waits for
  // the adapter.
  bool CycleOf(int index, uint64_t* cycle);

  // --- the window's reads and writes (see background_fetch.h) --------------
  // Starts the background fetch; from then on reads made inside a
  // NoWaitScope go through it. 'post' runs a function later on the window's
  // thread. Call once, from the window's thread.
  void StartBackgroundFetch(BackgroundFetch::Post post, std::function<void()> arrived);
  // Ends the fetch's lanes (also done by the destructor, before any adapter
  // goes). Reads inside a NoWaitScope then find only what was fetched.
  void StopBackgroundFetch();
  // Runs 'job' on element 'index' and hands its result (1: no such adapter)
  // to 'done': with the fetch started, on the adapter's lane and through
  // 'post'; without it, both at once on the calling thread.
  void RunThen(int index, BackgroundFetch::Job job, BackgroundFetch::Done done);
  // The fetch's counts of reads not answered with this cycle's value, and of
  // those answered "not available yet" (both 0 without a fetch): a page
  // refresh that raised them is not complete.
  uint64_t NotYetFetched() const;
  uint64_t NotYetAvailable() const;

 private:
  friend class AdapterHandle;

  // One adapter and its lock: 'busy' while an operation runs on it. (A flag
  // under a mutex rather than a timed mutex, so that the wait can look at the
  // thread's stop request with waits every tool understands.) A refresh
  // asked for while the adapter was busy is 'refresh_due' and begins when
  // the adapter is next taken.
  struct Slot {
    std::unique_ptr<Adapter> adapter;
    std::mutex mutex;  // guards busy, refresh_due and cycle
    std::condition_variable freed;
    bool busy = false;
    bool refresh_due = false;
    uint64_t cycle = 0;
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
  // while it waits, and begins a refresh that came due meanwhile; '*cycle'
  // (when given) receives the adapter's cycle. False (not taken) when stop
  // was asked first.
  static bool TakeUnlessStopped(Slot& slot, uint64_t* cycle = nullptr);
  static void Give(Slot& slot);
  // Begins a refresh cycle on the slot now when it is free, else when the
  // operation under way ends. Never waits.
  static void BeginRefreshOf(Slot& slot);
  // A change operation on element 'index': 'fn' under its lock, then the
  // fetch forgets that adapter's kept values before the lock is given back.
  template <class Fn>
  int Change(int index, Fn&& fn) {
    return WithAdapter(index, [&](Adapter& a) {
      const int result = fn(a);
      if (BackgroundFetch* fetch = fetch_.load()) fetch->Forget(index);
      return result;
    });
  }

  mutable std::mutex mutex_;  // guards count_, current_ and filling the slots
  std::array<Slot, kMaxAdapters> slots_;
  int count_ = 0;
  int current_ = 0;
  std::atomic<uint64_t> refresh_count_{0};
  // Declared last, so that its lanes end before any adapter goes. 'fetch_'
  // is set once, by the window's thread, and read by every thread.
  std::unique_ptr<BackgroundFetch> fetch_owner_;
  std::atomic<BackgroundFetch*> fetch_{nullptr};
};

// One adapter of a list, by index: a small value to keep for the steps of
// one command. Each operation runs on that adapter under its lock, atomic
// towards the other threads; with no such adapter, or when the calling thread
// is asked to stop (ThreadStopScope) before the adapter is free, it returns 1
// (FirmwareStatus 0) and does nothing. 'instance' is the port (0, 1) of a
// per-port item or the entry (0..3) of the error log. Inside a NoWaitScope,
// with the list's background fetch started, GetItem is the fetch's Read and
// SamplePerformance runs on the adapter's lane; SetItem, Control and the
// firmware steps make the fetch forget what it kept of the adapter;
// BeginRefresh never waits (as AdapterList::BeginRefreshAll).
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
