// A raw-socket HTTP client for the server tests: picks a free port, connects
// to 127.0.0.1, sends bytes, and reads until the server ends the connection,
// telling an orderly end from a reset. Every wait is bounded.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "web/server_socket.h"

namespace quivera::testing {

using Clock = std::chrono::steady_clock;

inline sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

// A port nobody listened on a moment ago (the system's choice of ephemeral
// port). Returns 0 when none can be had.
inline int FreePort() {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof address;
  if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

// One blocking connection attempt to 127.0.0.1:'port'. Invalid on failure.
inline UniqueFd ConnectOnce(int port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = Loopback(port);
  if (!fd.valid() ||
      ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return UniqueFd();
  }
  return fd;
}

// Connects, retrying while nothing listens yet, for at most 'patience'.
inline UniqueFd Connect(int port, std::chrono::milliseconds patience = std::chrono::seconds(5)) {
  const auto until = Clock::now() + patience;
  for (;;) {
    UniqueFd fd = ConnectOnce(port);
    if (fd.valid() || Clock::now() >= until) return fd;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

inline bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

struct ReadResult {
  std::string data;          // everything received
  bool orderly_end = false;  // the server closed its side (no reset)
  bool timed_out = false;    // the limit passed first
  int error = 0;             // errno of a failed receive (ECONNRESET for a reset)
};

// Reads until the peer ends the connection, a receive fails, or 'limit' passes.
inline ReadResult ReadToEnd(int fd, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  ReadResult result;
  const auto until = Clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      return result;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count()) + 1) == 0) continue;
    char buffer[4096];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got > 0) {
      result.data.append(buffer, static_cast<size_t>(got));
    } else if (got == 0) {
      result.orderly_end = true;
      return result;
    } else if (errno != EINTR) {
      result.error = errno;
      return result;
    }
  }
}

// Sends 'request' on a fresh connection and reads the whole answer.
inline ReadResult Exchange(int port, std::string_view request) {
  UniqueFd fd = Connect(port);
  if (!fd.valid()) {
    ReadResult failed;
    failed.error = errno;
    return failed;
  }
  SendAll(fd.get(), request);
  return ReadToEnd(fd.get());
}

// The body of an answer: what follows the first empty line.
inline std::string BodyOf(const std::string& answer) {
  const size_t at = answer.find("\r\n\r\n");
  return at == std::string::npos ? std::string() : answer.substr(at + 4);
}

// Starts a connection to 127.0.0.1:'port' without waiting for it to be
// established. Invalid when it could not even be started.
inline UniqueFd ConnectWithoutWaiting(int port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const sockaddr_in address = Loopback(port);
  if (!fd.valid() ||
      (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
       errno != EINPROGRESS)) {
    return UniqueFd();
  }
  return fd;
}

// True when every connection of 'fds' is established (or has already been
// closed again by the server) within 'limit'.
inline bool AllConnected(const std::vector<UniqueFd>& fds, std::chrono::milliseconds limit) {
  const auto until = Clock::now() + limit;
  for (const UniqueFd& fd : fds) {
    if (!fd.valid()) return false;
    pollfd p{fd.get(), POLLOUT, 0};
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      if (left <= 0) return false;
      if (::poll(&p, 1, static_cast<int>(left)) == 1) break;
    }
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0) return false;
  }
  return true;
}

// A socket listening on 'port' of every local address, standing for another
// program that holds the port. Invalid when the port could not be had.
inline UniqueFd HoldPort(int port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address = Loopback(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd.get(), 5) != 0) {
    return UniqueFd();
  }
  return fd;
}

// Raises this process's limit of open descriptors to at least 'count' when
// the hard limit allows. False when it stays below.
inline bool AllowDescriptors(rlim_t count) {
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) != 0) return false;
  if (files.rlim_cur >= count) return true;
  if (files.rlim_max < count) return false;
  files.rlim_cur = count;
  return ::setrlimit(RLIMIT_NOFILE, &files) == 0;
}

// How many descriptors the process 'pid' has open; 0 means this process.
inline size_t OpenDescriptors(pid_t pid = 0) {
  const std::string folder =
      "/proc/" + (pid == 0 ? std::string("self") : std::to_string(pid)) + "/fd";
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
    ++count;
  }
  return count;
}

// Polls 'condition' every 10 ms until it holds or 'limit' passes.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto until = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace quivera::testing
