// Helpers for tests that run the real programs: a started program with its
// standard output and error in files (killed and reaped when the test ends,
// so no test leaves a process behind), waiting with a bound, and a reader
// that stamps each line a log file gains with the time it was seen.
// Header-only, so that any test folder can use it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace quivera {

template <class Predicate>
bool WaitFor(Predicate predicate, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (predicate()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

class RunningProgram {
 public:
  RunningProgram() = default;
  ~RunningProgram() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Starts 'program' with 'args', standard output into 'out_file' and standard
  // error into 'err_file', with no signal blocked. False when it could not be
  // started.
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::string& out_file, const std::string& err_file) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t pid = (out >= 0 && err >= 0) ? fork() : -1;
    if (pid == 0) {
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      signal(SIGINT, SIG_DFL);
      signal(SIGTERM, SIG_DFL);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    if (out >= 0) close(out);
    if (err >= 0) close(err);
    if (pid < 0) return false;
    pid_ = pid;
    return true;
  }

  void Signal(int signal_number) {
    if (pid_ > 0) kill(pid_, signal_number);
  }

  // Waits at most 'limit' for the program to end. Returns its exit status,
  // 128 + the signal that ended it, or -1 when it still runs.
  int Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit)) return -1;
    pid_ = -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
  }

  bool running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// Reads the lines appended to a log file since the last Poll and stamps each
// with the time Poll saw it.
class TimedLog {
 public:
  struct Line {
    std::chrono::steady_clock::time_point seen;
    std::string text;
  };

  explicit TimedLog(std::string path) : path_(std::move(path)) {}

  void Poll() {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    in.seekg(static_cast<std::streamoff>(offset_));
    std::string chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto now = std::chrono::steady_clock::now();
    size_t start = 0;
    for (size_t end; (end = chunk.find('\n', start)) != std::string::npos; start = end + 1) {
      lines_.push_back({now, chunk.substr(start, end - start)});
    }
    offset_ += start;  // a line still being written is read again next time
  }

  const std::vector<Line>& lines() const { return lines_; }

  // Lines that contain 'part'.
  std::vector<Line> Matching(const std::string& part) const {
    std::vector<Line> found;
    for (const Line& line : lines_) {
      if (line.text.find(part) != std::string::npos) found.push_back(line);
    }
    return found;
  }

 private:
  std::string path_;
  size_t offset_ = 0;
  std::vector<Line> lines_;
};

}  // namespace quivera
