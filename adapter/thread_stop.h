// A thread's standing request to stop, seen by the work it does on the way.
// The adapter list looks at it while waiting for an adapter, and the driver
// channels between the slices of every wait, so a thread asked to stop (the
// hypertext server's worker, the headless run on a stop signal) gives up its
// driver request within a fraction of a second instead of finishing a whole
// page of them. A thread without a scope is never asked to stop.
#pragma once

#include <atomic>

namespace quivera {

// The longest a wait of the adapter layer goes without looking at the
// calling thread's stop request.
inline constexpr int kStopCheckMs = 50;

class ThreadStopScope {
 public:
  // For the life of the scope, the calling thread is asked to stop while
  // 'running' is false.
  explicit ThreadStopScope(const std::atomic<bool>& running);
  // For the life of the scope, the calling thread is asked to stop while
  // 'fd' is readable (a signal descriptor with a stop signal waiting).
  explicit ThreadStopScope(int fd);
  ~ThreadStopScope();
  ThreadStopScope(const ThreadStopScope&) = delete;
  ThreadStopScope& operator=(const ThreadStopScope&) = delete;

 private:
  friend bool ThreadStopRequested();
  bool Requested() const;

  const std::atomic<bool>* running_ = nullptr;
  int fd_ = -1;
  ThreadStopScope* outer_;
};

// True when a scope of the calling thread asks it to stop.
bool ThreadStopRequested();

}  // namespace quivera
