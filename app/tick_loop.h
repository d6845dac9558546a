// The timer of the run without windows: calls a function once a period on
// the calling thread until SIGINT or SIGTERM arrives, and wakes at once when
// one does.
//
// The two signals are blocked in the calling thread when a StopSignals is
// made, and read through a signal descriptor; make it before any other
// thread starts, so that every thread inherits the blocked set and the
// signals can only arrive through the descriptor. A signal that arrives
// before the loop runs (during start-up) is kept and ends the loop at once.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace quivera {

class StopSignals {
 public:
  StopSignals();
  // Closes the descriptor. The signals stay blocked: the process is ending,
  // and unblocking could let a second signal kill it before it has finished.
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // False when the descriptor could not be made; error() says why.
  bool ok() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  std::string error_;
};

// Calls 'tick' at start + period, start + 2 x period, ... until a stop signal
// is read from 'signals'; returns its number (SIGINT or SIGTERM), or -1 when
// waiting failed. Ticks that fell behind by more than a period (the process
// was stopped) are dropped rather than run in a burst.
int RunTickLoop(StopSignals& signals, const std::function<void()>& tick,
                std::chrono::milliseconds period = std::chrono::milliseconds(1000));

}  // namespace quivera
