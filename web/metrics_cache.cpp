// The per-cycle copies of the adapters' values and the threads that read them.
#include "web/metrics_cache.h"

#include <algorithm>

#include "adapter/thread_stop.h"

namespace quivera {

MetricsCache::MetricsCache(AdapterList& list, std::chrono::milliseconds wait)
    : list_(list), wait_(wait) {
  const int count = list_.Count();
  for (int i = 0; i < count; ++i) slots_.push_back(std::make_unique<Slot>());
  for (size_t i = 0; i < slots_.size(); ++i) {
    slots_[i]->thread = std::thread([this, i] { Run(i); });
  }
}

MetricsCache::~MetricsCache() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  running_ = false;
  work_.notify_all();
  for (auto& slot : slots_) slot->thread.join();
}

std::vector<AdapterCopy> MetricsCache::Snapshot() {
  std::unique_lock<std::mutex> lock(mutex_);
  const uint64_t cycle = list_.RefreshCount();
  const auto deadline = std::chrono::steady_clock::now() + wait_;
  // A slot is waited for while it has no copy of this cycle and its read for
  // this cycle has not already kept somebody waiting too long.
  auto waiting = [&](const Slot& s) {
    return !Current(s, cycle) && !(s.late && s.late_cycle == cycle && s.requested);
  };
  bool asked = false;
  for (auto& slot : slots_) {
    if (waiting(*slot) && !slot->requested) {
      slot->requested = true;
      asked = true;
    }
  }
  if (asked) work_.notify_all();
  for (;;) {
    if (std::none_of(slots_.begin(), slots_.end(), [&](const auto& s) { return waiting(*s); })) {
      break;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline || ThreadStopRequested()) {
      for (auto& slot : slots_) {
        if (waiting(*slot)) {
          slot->late = true;
          slot->late_cycle = cycle;
        }
      }
      break;
    }
    // In slices, so that a stop of the calling thread is seen.
    done_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(kStopCheckMs)));
  }
  std::vector<AdapterCopy> copies;
  copies.reserve(slots_.size());
  for (const auto& slot : slots_) {
    copies.push_back({slot->values, Current(*slot, cycle) && slot->values->answered});
  }
  return copies;
}

uint64_t MetricsCache::reads() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reads_;
}

void MetricsCache::Run(size_t index) {
  const ThreadStopScope stop_scope(running_);
  Slot& slot = *slots_[index];
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [&] { return stop_ || slot.requested; });
    if (stop_) return;
    lock.unlock();
    // The cycle is taken before reading: a tick during the read makes the
    // copy count as the older cycle, and the next scrape reads again.
    const uint64_t cycle = list_.RefreshCount();
    auto values = std::make_shared<const AdapterMetrics>(
        slot.reader.Read(list_, static_cast<int>(index), cycle));
    // A read cut short by the stop is no copy of the adapter.
    if (ThreadStopRequested()) return;
    lock.lock();
    slot.values = std::move(values);
    slot.cycle = cycle;
    slot.requested = false;
    ++reads_;
    done_.notify_all();
  }
}

}  // namespace quivera
