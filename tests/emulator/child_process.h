// A program started by a test, with its standard error captured in a file.
// The destructor kills and reaps it if it still runs, so no test leaves a
// process behind.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace quivera {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts 'program' with 'args'; stdout and stderr go to 'output_file'.
  // False when the program could not be started.
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::string& output_file);
  // Sends 'signal_number' to the running child.
  void Signal(int signal_number);
  // Waits at most 'limit' for the child to end. Returns its exit status, 128 +
  // the signal that ended it, or -1 when it still runs after 'limit'.
  int Wait(std::chrono::milliseconds limit);
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// Waits until 'predicate' holds, checking every 20 ms, for at most 'limit'.
template <class Predicate>
bool WaitUntil(Predicate predicate, std::chrono::milliseconds limit);

// The content of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace quivera

#include <thread>

namespace quivera {

template <class Predicate>
bool WaitUntil(Predicate predicate, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (predicate()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace quivera
