// Deadlines as poll() takes them: the one conversion every bounded wait of
// the program makes, so that none rounds a deadline down into a busy loop or
// waits past it.
#pragma once

#include <chrono>

namespace quivera {

using SteadyClock = std::chrono::steady_clock;

// Milliseconds from now until 'deadline' for poll(): 0 once it has passed,
// otherwise rounded up (a wait never ends just before its deadline), and at
// most 'cap_ms' (a wait that must look at something else now and then).
inline int PollTimeoutUntil(SteadyClock::time_point deadline, int cap_ms = 60'000) {
  const auto left = deadline - SteadyClock::now();
  if (left <= SteadyClock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > cap_ms ? cap_ms : static_cast<int>(ms);
}

}  // namespace quivera
