// Support for the end-to-end tests of the hypertext server: a scratch folder,
// child processes that are always stopped, a settings file naming the web
// port, and running a command with a time limit. Header only, so the other
// end-to-end programs of this folder are not touched by it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/web/http_test_client.h"

extern char** environ;

namespace quivera::testing {

inline std::string QuiveraProgram() {
  return std::string(QUIVERA_BINARY_DIR) + "/app/main/quivera";
}
inline std::string EmulatorProgram() {
  return std::string(QUIVERA_BINARY_DIR) + "/emulator/station-emulator";
}

// A fresh folder under the system's temporary folder, removed with its
// contents when dropped.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quivera-web-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A settings file for a run with the web server on 'port' and management
// sets allowed or not; 'enable' is the "WebServerEnable" value written.
inline std::string WebSettings(int port, bool sets_allowed, int enable = 1) {
  return "[Preferences]\nMGTSetOperations=" + std::string(sets_allowed ? "0" : "1") +
         "\n[State]\nWebPortID=" + std::to_string(port) +
         "\nWebServerEnable=" + std::to_string(enable) + "\n";
}

// A child process, sent SIGTERM (then SIGKILL) when dropped if still running.
class ChildProcess {
 public:
  // Starts 'argv' with standard output and error appended to 'output_path'
  // (when not empty). valid() is false when the program could not be started.
  ChildProcess(const std::vector<std::string>& argv, const std::string& output_path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!output_path.empty()) {
      posix_spawn_file_actions_addopen(&actions, 1, output_path.c_str(),
                                       O_WRONLY | O_CREAT | O_APPEND, 0644);
      posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { Stop(std::chrono::seconds(10)); }

  bool valid() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool running() {
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = status;
      pid_ = -1;
      return false;
    }
    return true;
  }

  // Sends SIGTERM and waits up to 'patience' for the end, then kills.
  // Returns true when the process ended of its own accord within 'patience'
  // (or had ended before); the wait status is then in status().
  bool Stop(std::chrono::milliseconds patience) {
    if (!running()) return true;
    ::kill(pid_, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < until) {
      if (!running()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = status;
    pid_ = -1;
    return false;
  }
  int status() const { return status_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// Runs 'argv' to its end with output to 'output_path', for at most 'limit'.
// Returns its exit code, or -1 when it could not start, was killed or ran
// out of time.
inline int RunCommand(const std::vector<std::string>& argv, const std::string& output_path,
                      std::chrono::seconds limit = std::chrono::seconds(60)) {
  ChildProcess child(argv, output_path);
  if (!child.valid()) return -1;
  const auto until = std::chrono::steady_clock::now() + limit;
  while (child.running()) {
    if (std::chrono::steady_clock::now() >= until) {
      child.Stop(std::chrono::seconds(2));
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const int status = child.status();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The full path of 'program' on PATH, or empty.
inline std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}

// quivera --headless --test-mode on its own settings file with the web
// server on 'port' (a free one when 0); stopped when dropped.
class HeadlessRun {
 public:
  explicit HeadlessRun(bool sets_allowed = true, int web_server_enable = 1, int port = 0)
      : port_(port != 0 ? port : FreePort()) {
    settings_ = scratch_.File("quivera.ini");
    WriteText(settings_, WebSettings(port_, sets_allowed, web_server_enable));
    log_ = scratch_.File("quivera.log");
    child_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{QuiveraProgram(), "--headless", "--test-mode", "--settings",
                                 settings_},
        log_);
  }

  // Waits until the server answers connections (start-up under sanitizers
  // can take a while). Each attempt is one connection the server counts.
  bool WaitForServer(std::chrono::seconds limit = std::chrono::seconds(30)) {
    return WaitUntil(
               [&] {
                 if (!child_->running()) return true;
                 return ConnectOnce(port_).valid();
               },
               limit) &&
           child_->running();
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  ChildProcess& process() { return *child_; }
  const ScratchDir& scratch() const { return scratch_; }
  const std::string& settings_path() const { return settings_; }
  std::string log() const { return ReadText(log_); }

 private:
  ScratchDir scratch_;
  int port_;
  std::string settings_;
  std::string log_;
  std::unique_ptr<ChildProcess> child_;
};

}  // namespace quivera::testing
