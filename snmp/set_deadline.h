// A bound in time on the adapter work of one SNMP set phase. The master
// gives a sub-agent about a second to answer; a set that waits longer on a
// stalled driver (or on an adapter another thread holds while it waits) must
// give up before that, so that the manager's answer and the adapter agree.
#pragma once

#include <chrono>

#include "adapter/thread_stop.h"

namespace quivera {

class SetDeadline {
 public:
  // For the life of the object, the calling thread's adapter work is asked
  // to stop once 'budget' has passed: a wait for an adapter gives up, and a
  // driver request in flight is abandoned within kStopCheckMs.
  explicit SetDeadline(std::chrono::milliseconds budget);
  ~SetDeadline();
  SetDeadline(const SetDeadline&) = delete;
  SetDeadline& operator=(const SetDeadline&) = delete;

  // True once the budget is spent.
  bool Passed() const;

 private:
  int timer_fd_;
  ThreadStopScope scope_;
};

}  // namespace quivera
