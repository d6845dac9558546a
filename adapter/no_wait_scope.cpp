// The calling thread's wait rule.
#include "adapter/no_wait_scope.h"

namespace quivera {
namespace {
thread_local bool no_wait = false;
}  // namespace

NoWaitScope::NoWaitScope() : outer_(no_wait) { no_wait = true; }
NoWaitScope::~NoWaitScope() { no_wait = outer_; }

bool NoWaitRequested() { return no_wait; }

}  // namespace quivera
