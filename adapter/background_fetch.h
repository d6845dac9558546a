// The window's way to the adapters: driver requests made on its behalf by
// one lane thread per adapter, so that the window's thread never waits on a
// driver or on an adapter another thread is busy with.
//
// A read (Read) is served from the values fetched for the adapter's current
// refresh cycle. A value not fetched in this cycle is asked of the adapter's
// lane, and the read answers with the value an earlier cycle of the same
// adapter left (a page then keeps showing what it showed), or, when there is
// none, 1: not available yet (NotYetAvailable). Either way the read counts as
// one not yet fetched (NotYetFetched). A change made to the adapter through
// the list (Forget) drops what was kept from before it. The lane reads the item under the adapter's
// lock, so the adapter's own cache still sends at most one request per reply
// block per cycle however many readers there are, and an item nobody reads
// is never fetched. When values arrive, 'arrived' is run through 'post' once
// for any number of arrivals since it last ran.
//
// A write or a command (Run) goes to the lane as well; its result is handed
// to 'done' through 'post'. The values kept for that adapter are read again
// within the same operation, so a page redrawn from 'done' shows what the
// adapter holds after the change.
//
// Thread use: Read and Run from the window's thread; the lanes are the
// fetch's own. 'post' must run its function later on the window's thread
// and may be called from any thread.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "adapter/management_item.h"

namespace quivera {

class Adapter;
class AdapterList;

class BackgroundFetch {
 public:
  using Post = std::function<void(std::function<void()>)>;
  using Job = std::function<int(Adapter&)>;
  using Done = std::function<void(int result)>;

  // 'list' must outlive the fetch. 'post' may not be empty; 'arrived' may.
  BackgroundFetch(AdapterList& list, Post post, std::function<void()> arrived);
  // Stop().
  ~BackgroundFetch();
  BackgroundFetch(const BackgroundFetch&) = delete;
  BackgroundFetch& operator=(const BackgroundFetch&) = delete;

  // Ends the lanes within about a second, whatever the drivers do (a lane
  // in a driver request gives it up); work not yet done is dropped and its
  // 'done' never runs. Later Read and Run calls ask for nothing.
  void Stop();

  // The item read of Adapter::GetItem on list element 'index', as described
  // above. Never waits for a driver or an adapter's lock.
  int Read(int index, ManagementItem item, void* buffer, size_t* length, int instance);

  // Runs 'job' on element 'index' on its lane under the adapter's lock, then
  // posts 'done' (if any) with its result; 1 when there is no such adapter.
  void Run(int index, Job job, Done done);

  // Forgets every value kept for element 'index'. Call it under the
  // adapter's lock, right after a change, so that no fetch made before the
  // change is kept after it.
  void Forget(int index);

  // Reads answered with an earlier cycle's value or with "not available
  // yet", and those answered with "not available yet", so far.
  uint64_t NotYetFetched() const { return not_yet_fetched_.load(); }
  uint64_t NotYetAvailable() const { return not_yet_available_.load(); }

 private:
  // One fetched value: the cycle it belongs to, the adapter's answer and the
  // bytes it left in a buffer of the requested length.
  struct Key {
    ManagementItem item;
    int instance;
    size_t length;
    bool operator<(const Key& o) const {
      return std::tie(item, instance, length) < std::tie(o.item, o.instance, o.length);
    }
  };
  struct Value {
    uint64_t cycle = 0;
    int outcome = 1;
    size_t length = 0;
    std::vector<uint8_t> bytes;
  };
  struct Lane {
    std::thread thread;
    std::deque<std::function<void()>> jobs;
    std::condition_variable wake;
  };
  static constexpr int kLanes = 16;

  void Enqueue(int index, std::function<void()> job);  // takes mutex_
  void LaneLoop(Lane& lane);
  void Fetch(int index, Key key, std::vector<uint8_t> scratch);
  // Reads every value kept for 'adapter' (element 'index') again, for
  // 'cycle'; under the adapter's lock.
  void RereadKept(int index, Adapter& adapter, uint64_t cycle);
  void TellArrived();
  // Reads 'key' of 'adapter' into 'bytes' (its size is the buffer's) and
  // keeps the outcome for 'cycle'; under the adapter's lock.
  static Value ReadValue(Adapter& adapter, const Key& key, std::vector<uint8_t> bytes,
                         uint64_t cycle);

  AdapterList& list_;
  Post post_;
  std::function<void()> arrived_;
  // Shared with the posted arrival call, which may outlive nothing but the
  // post's own queue.
  std::shared_ptr<std::atomic<bool>> arrival_posted_;
  std::atomic<bool> running_{true};
  std::atomic<uint64_t> not_yet_fetched_{0};
  std::atomic<uint64_t> not_yet_available_{0};

  mutable std::mutex mutex_;  // guards everything below; never held across a request
  std::array<std::unique_ptr<Lane>, kLanes> lanes_{};
  std::array<std::map<Key, Value>, kLanes> kept_{};
  std::array<std::set<Key>, kLanes> asked_{};
};

}  // namespace quivera
