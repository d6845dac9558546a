// The tick loop: ticks at its period, ends on SIGINT or SIGTERM at once, and
// keeps a signal that arrived before it ran.
#include "app/tick_loop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace quivera {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

TEST(TickLoopTest, SignalBeforeTheLoopEndsItWithoutATick) {
  StopSignals signals;
  ASSERT_TRUE(signals.ok()) << signals.error();
  ASSERT_EQ(kill(getpid(), SIGTERM), 0);  // blocked: waits in the descriptor
  int ticks = 0;
  EXPECT_EQ(RunTickLoop(
                signals, [&] { ++ticks; }, milliseconds(50)),
            SIGTERM);
  EXPECT_EQ(ticks, 0);
}

TEST(TickLoopTest, TicksAtItsPeriodUntilInterrupted) {
  StopSignals signals;
  ASSERT_TRUE(signals.ok()) << signals.error();
  std::vector<Clock::time_point> at;
  const Clock::time_point start = Clock::now();
  int signal = RunTickLoop(
      signals,
      [&] {
        at.push_back(Clock::now());
        if (at.size() == 4) kill(getpid(), SIGINT);
      },
      milliseconds(40));
  EXPECT_EQ(signal, SIGINT);
  ASSERT_EQ(at.size(), 4u);
  for (size_t i = 0; i < at.size(); ++i) {
    // Never early; late only by scheduling noise.
    EXPECT_GE(at[i] - start, milliseconds(40) * static_cast<int>(i + 1)) << i;
    EXPECT_LT(at[i] - start, milliseconds(40) * static_cast<int>(i + 1) + milliseconds(400)) << i;
  }
}

TEST(TickLoopTest, WakesAtOnceOnASignalFromAnotherThread) {
  StopSignals signals;  // before the thread: it inherits the blocked signals
  ASSERT_TRUE(signals.ok()) << signals.error();
  std::thread sender([] {
    std::this_thread::sleep_for(milliseconds(100));
    kill(getpid(), SIGTERM);
  });
  const Clock::time_point start = Clock::now();
  int ticks = 0;
  EXPECT_EQ(RunTickLoop(
                signals, [&] { ++ticks; }, milliseconds(10000)),
            SIGTERM);
  sender.join();
  EXPECT_LT(Clock::now() - start, milliseconds(5000));
  EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace quivera
