// The signal descriptor and the tick loop.
#include "app/tick_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "adapter/poll_timeout.h"

namespace quivera {

StopSignals::StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  int failed = pthread_sigmask(SIG_BLOCK, &set, nullptr);
  if (failed != 0) {
    error_ = std::string("cannot block the stop signals: ") + std::strerror(failed);
    return;
  }
  fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
  if (fd_ < 0) error_ = std::string("cannot watch the stop signals: ") + std::strerror(errno);
}

StopSignals::~StopSignals() {
  if (fd_ >= 0) close(fd_);
}

int RunTickLoop(StopSignals& signals, const std::function<void()>& tick,
                std::chrono::milliseconds period) {
  using Clock = std::chrono::steady_clock;
  if (!signals.ok()) return -1;
  Clock::time_point next = Clock::now() + period;
  for (;;) {
    pollfd watch{signals.fd(), POLLIN, 0};
    int ready = poll(&watch, 1, PollTimeoutUntil(next));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (ready > 0) {
      signalfd_siginfo info{};
      ssize_t got = read(signals.fd(), &info, sizeof info);
      if (got == static_cast<ssize_t>(sizeof info)) return static_cast<int>(info.ssi_signo);
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      return -1;
    }
    const Clock::time_point now = Clock::now();
    if (now < next) continue;
    tick();
    next += period;
    if (Clock::now() > next + period) next = Clock::now() + period;
  }
}

}  // namespace quivera
