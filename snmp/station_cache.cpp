// The per-cycle copy of the stations' values and the thread that reads it.
#include "snmp/station_cache.h"

#include <vector>

#include "adapter/thread_stop.h"

namespace quivera {

StationCache::StationCache(AdapterList& list, std::chrono::milliseconds wait)
    : list_(list), wait_(wait), view_(std::make_shared<const MibView>()) {
  thread_ = std::thread([this] { Run(); });
}

StationCache::~StationCache() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  running_ = false;
  work_.notify_all();
  thread_.join();
}

std::shared_ptr<const MibView> StationCache::View() {
  std::unique_lock<std::mutex> lock(mutex_);
  const uint64_t cycle = list_.RefreshCount();
  const auto deadline = std::chrono::steady_clock::now() + wait_;
  for (;;) {
    if (have_cycle_ && cycle_ >= cycle) return view_;
    // This cycle's read already kept a reader waiting too long: nobody waits
    // for it again until it has ended.
    if (late_ && late_cycle_ == cycle && requested_) return view_;
    if (!requested_) {
      requested_ = true;
      work_.notify_one();
    }
    if (done_.wait_until(lock, deadline) == std::cv_status::timeout) {
      if (have_cycle_ && cycle_ >= cycle) return view_;
      late_ = true;
      late_cycle_ = cycle;
      return view_;
    }
  }
}

void StationCache::Invalidate() {
  std::lock_guard<std::mutex> lock(mutex_);
  have_cycle_ = false;
}

uint64_t StationCache::reads() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reads_;
}

void StationCache::Run() {
  const ThreadStopScope stop_scope(running_);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return stop_ || requested_; });
    if (stop_) return;
    lock.unlock();
    // The cycle is taken before reading: a tick during the read makes the
    // copy count as the older cycle, and the next reader reads again (the
    // blocks the new cycle already fetched are not fetched twice).
    const uint64_t cycle = list_.RefreshCount();
    std::vector<StationValues> stations;
    const int count = list_.Count();
    for (int i = 0; i < count; ++i) stations.push_back(ReadStationValues(list_, i));
    // A read cut short by the stop is no copy of the stations.
    if (ThreadStopRequested()) return;
    auto view = std::make_shared<const MibView>(BuildFddiMibView(stations));
    lock.lock();
    view_ = std::move(view);
    cycle_ = cycle;
    have_cycle_ = true;
    requested_ = false;
    ++reads_;
    done_.notify_all();
  }
}

}  // namespace quivera
