// The window's reads from the kept values, the lanes that fetch them, and
// the writes run on the lanes.
#include "adapter/background_fetch.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "adapter/adapter.h"
#include "adapter/adapter_list.h"
#include "adapter/thread_stop.h"

namespace quivera {

BackgroundFetch::BackgroundFetch(AdapterList& list, Post post, std::function<void()> arrived)
    : list_(list),
      post_(std::move(post)),
      arrived_(std::move(arrived)),
      arrival_posted_(std::make_shared<std::atomic<bool>>(false)) {}

BackgroundFetch::~BackgroundFetch() { Stop(); }

void BackgroundFetch::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.store(false);
    for (auto& lane : lanes_) {
      if (lane) lane->wake.notify_all();
    }
  }
  // No lane is added once running_ is false (both are decided under mutex_).
  for (auto& lane : lanes_) {
    if (lane && lane->thread.joinable()) lane->thread.join();
  }
}

int BackgroundFetch::Read(int index, ManagementItem item, void* buffer, size_t* length,
                          int instance) {
  if (buffer == nullptr || length == nullptr) return 1;
  uint64_t cycle = 0;
  if (index < 0 || index >= kLanes || !list_.CycleOf(index, &cycle)) return 1;
  const Key key{item, instance, *length};
  auto* bytes = static_cast<uint8_t*>(buffer);

  std::lock_guard<std::mutex> lock(mutex_);
  const auto& kept = kept_[static_cast<size_t>(index)];
  const auto found = kept.find(key);
  const Value* value = found == kept.end() ? nullptr : &found->second;
  if (value != nullptr && value->cycle == cycle) {
    if (value->outcome == 0) {
      std::copy(value->bytes.begin(), value->bytes.end(), bytes);
      *length = value->length;
    }
    return value->outcome;
  }

  ++not_yet_fetched_;
  if (running_.load() && asked_[static_cast<size_t>(index)].insert(key).second) {
    // The lane reads into a copy of the caller's buffer, so the bytes an
    // answer leaves alone are the caller's own when they are handed back.
    std::vector<uint8_t> scratch(bytes, bytes + *length);
    Enqueue(index, [this, index, key, scratch = std::move(scratch)]() mutable {
      Fetch(index, key, std::move(scratch));
    });
  }
  if (value != nullptr && value->outcome == 0) {
    // What the page showed last stays until this cycle's value arrives.
    std::copy(value->bytes.begin(), value->bytes.end(), bytes);
    *length = value->length;
    return 0;
  }
  ++not_yet_available_;
  return 1;
}

void BackgroundFetch::Forget(int index) {
  if (index < 0 || index >= kLanes) return;
  std::lock_guard<std::mutex> lock(mutex_);
  kept_[static_cast<size_t>(index)].clear();
}

void BackgroundFetch::Run(int index, Job job, Done done) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!running_.load()) return;
  if (index < 0 || index >= kLanes) {
    if (done) post_([done = std::move(done)] { done(1); });
    return;
  }
  Enqueue(index, [this, index, job = std::move(job), done = std::move(done)] {
    int result = 1;
    const int taken = list_.WithAdapterInCycle(index, [&](Adapter& adapter, uint64_t cycle) {
      result = job(adapter);
      // What the job changed is what the page drawn from 'done' must show.
      RereadKept(index, adapter, cycle);
      return 0;
    });
    // Stopped while waiting for the adapter: the window is going away.
    if (taken != 0 && !running_.load()) return;
    if (done) post_([done, result] { done(result); });
  });
}

void BackgroundFetch::Enqueue(int index, std::function<void()> job) {
  std::unique_ptr<Lane>& lane = lanes_[static_cast<size_t>(index)];
  if (!lane) {
    lane = std::make_unique<Lane>();
    Lane* started = lane.get();
    started->thread = std::thread([this, started] { LaneLoop(*started); });
  }
  lane->jobs.push_back(std::move(job));
  lane->wake.notify_one();
}

void BackgroundFetch::LaneLoop(Lane& lane) {
  // Stop reaches a request under way: the channel gives it up.
  const ThreadStopScope stop(running_);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    lane.wake.wait(lock, [&] { return !running_.load() || !lane.jobs.empty(); });
    if (!running_.load()) return;
    std::function<void()> job = std::move(lane.jobs.front());
    lane.jobs.pop_front();
    lock.unlock();
    job();
    lock.lock();
  }
}

void BackgroundFetch::Fetch(int index, Key key, std::vector<uint8_t> scratch) {
  const int taken = list_.WithAdapterInCycle(index, [&](Adapter& adapter, uint64_t cycle) {
    Value value = ReadValue(adapter, key, std::move(scratch), cycle);
    // Kept while the adapter is still ours, so a change another thread makes
    // next forgets it.
    std::lock_guard<std::mutex> lock(mutex_);
    kept_[static_cast<size_t>(index)][key] = std::move(value);
    asked_[static_cast<size_t>(index)].erase(key);
    return 0;
  });
  if (taken != 0) {
    // No such adapter, or stopping: nothing arrived; a later read asks again.
    std::lock_guard<std::mutex> lock(mutex_);
    asked_[static_cast<size_t>(index)].erase(key);
    return;
  }
  TellArrived();
}

BackgroundFetch::Value BackgroundFetch::ReadValue(Adapter& adapter, const Key& key,
                                                  std::vector<uint8_t> bytes, uint64_t cycle) {
  Value value;
  value.cycle = cycle;
  value.length = bytes.size();
  value.outcome = adapter.GetItem(key.item, bytes.data(), &value.length, key.instance);
  value.bytes = std::move(bytes);
  return value;
}

void BackgroundFetch::RereadKept(int index, Adapter& adapter, uint64_t cycle) {
  std::vector<std::pair<Key, std::vector<uint8_t>>> wanted;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [key, value] : kept_[static_cast<size_t>(index)]) {
      if (value.cycle == cycle) wanted.emplace_back(key, value.bytes);
    }
  }
  for (auto& [key, bytes] : wanted) {
    Value value = ReadValue(adapter, key, std::move(bytes), cycle);
    std::lock_guard<std::mutex> lock(mutex_);
    kept_[static_cast<size_t>(index)][key] = std::move(value);
  }
}

void BackgroundFetch::TellArrived() {
  if (!arrived_ || arrival_posted_->exchange(true)) return;
  // Many arrivals before the window's thread gets to it make one call.
  post_([posted = arrival_posted_, arrived = arrived_] {
    posted->store(false);
    arrived();
  });
}

}  // namespace quivera
