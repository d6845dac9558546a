// The calling thread's stop scopes, innermost first.
#include "adapter/thread_stop.h"

#include <poll.h>

namespace quivera {
namespace {
thread_local ThreadStopScope* innermost = nullptr;
}  // namespace

ThreadStopScope::ThreadStopScope(const std::atomic<bool>& running)
    : running_(&running), outer_(innermost) {
  innermost = this;
}

ThreadStopScope::ThreadStopScope(int fd) : fd_(fd), outer_(innermost) { innermost = this; }

ThreadStopScope::~ThreadStopScope() { innermost = outer_; }

bool ThreadStopScope::Requested() const {
  if (running_ != nullptr && !running_->load()) return true;
  if (fd_ >= 0) {
    pollfd watch{fd_, POLLIN, 0};
    if (::poll(&watch, 1, 0) > 0 && (watch.revents & POLLIN) != 0) return true;
  }
  return false;
}

bool ThreadStopRequested() {
  for (const ThreadStopScope* scope = innermost; scope != nullptr; scope = scope->outer_) {
    if (scope->Requested()) return true;
  }
  return false;
}

}  // namespace quivera
