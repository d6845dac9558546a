// The few socket operations the hypertext server's worker needs, each bounded
// in time so that no client can hold the worker: a descriptor owner, the
// listening socket, and a send that gives up at a deadline or on a wake-up.
#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

namespace quivera {

using ServerClock = std::chrono::steady_clock;

// Owns one file descriptor and closes it when dropped. -1 means none.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

// Listen queue length of the server's socket.
inline constexpr int kListenBacklog = 5;

// Opens a non-blocking IPv4 stream socket listening on 'port' on all local
// addresses, with SO_REUSEADDR so a restart need not wait for old
// connections to time out. Returns an invalid UniqueFd when the port is
// outside 1..65535 or the socket cannot be created, bound or put to listen.
UniqueFd OpenListener(int32_t port);

// Accepts one pending connection of 'listener' as a non-blocking socket.
// Returns the descriptor, or -1 with errno set (EAGAIN when none is waiting).
int AcceptConnection(int listener);

// Writes all of 'data' to the non-blocking socket 'fd' without raising
// SIGPIPE. Returns true once every byte is handed to the system; false when
// the peer is gone, 'deadline' passes first, or 'wake_fd' (when >= 0) becomes
// readable, which is how a stop interrupts a send to a slow client.
bool SendWithin(int fd, std::string_view data, ServerClock::time_point deadline, int wake_fd);

// Milliseconds from now until 'deadline' for poll(): 0 when it has passed,
// rounded up so that a wait does not wake just before its deadline.
int MillisecondsUntil(ServerClock::time_point deadline);

}  // namespace quivera
