// The set budget as a timer descriptor that becomes readable when it runs
// out: the stop scopes of the adapter layer watch exactly that.
#include "snmp/set_deadline.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace quivera {

namespace {

int ArmedTimer(std::chrono::milliseconds budget) {
  const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (fd < 0) return -1;
  const auto ms = budget.count() > 0 ? budget.count() : 1;
  itimerspec when{};
  when.it_value.tv_sec = static_cast<time_t>(ms / 1000);
  when.it_value.tv_nsec = static_cast<long>((ms % 1000) * 1000000);
  timerfd_settime(fd, 0, &when, nullptr);
  return fd;
}

}  // namespace

// Without a timer descriptor (none left) the scope watches -1 and never
// asks to stop: the set then waits as long as a read would, no worse.
SetDeadline::SetDeadline(std::chrono::milliseconds budget)
    : timer_fd_(ArmedTimer(budget)), scope_(timer_fd_) {}

SetDeadline::~SetDeadline() {
  if (timer_fd_ >= 0) close(timer_fd_);
}

bool SetDeadline::Passed() const {
  if (timer_fd_ < 0) return false;
  pollfd watch{timer_fd_, POLLIN, 0};
  return poll(&watch, 1, 0) > 0 && (watch.revents & POLLIN) != 0;
}

}  // namespace quivera
