// The few socket operations the hypertext server's worker needs, each bounded
// in time so that no client can hold the worker: a descriptor owner, the
// listening socket, and a send that gives up at a deadline or on a wake-up.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <string>
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

// Listen queue length of the server's socket: the system's own limit, so a
// burst of clients waits in the queue instead of having its connection
// requests dropped and retried a second or more later.
inline constexpr int kListenBacklog = SOMAXCONN;

// Opens a non-blocking IPv4 stream socket listening on 'port' on all local
// addresses (or on the one local IPv4 address 'address' in dotted form, when
// not empty), with SO_REUSEADDR so a restart need not wait for old
// connections to time out. Returns an invalid UniqueFd when the port is
// outside 1..65535 or the address is no dotted IPv4 address (error EINVAL) or
// the socket cannot be created, bound or
// put to listen; 'error', when given, then receives the reason as an errno
// value (EACCES for a privileged port, EADDRINUSE for a port in use).
UniqueFd OpenListener(int32_t port, int* error = nullptr, const std::string& address = {});

// Accepts one pending connection of 'listener' as a non-blocking socket.
// Returns the descriptor, or -1 with errno set (EAGAIN when none is waiting).
int AcceptConnection(int listener);

// What a connection's peer has sent that is not read yet, looked at
// without reading it or waiting.
enum class PeerInput {
  kNothing,  // nothing yet; the peer is still connected as far as is known
  kWaiting,  // at least one byte waits to be read
  kEnded,    // the peer closed its sending side or the connection failed
};
PeerInput PeekPeerInput(int fd);

// Writes 'head' and then 'body' to the non-blocking socket 'fd' as one
// stream, without raising SIGPIPE. Returns true once every byte is handed to
// the system; false when the peer is gone, 'deadline' passes first, or
// 'wake_fd' (when >= 0) becomes readable, which is how a stop interrupts a
// send to a slow client.
bool SendWithin(int fd, std::string_view head, std::string_view body,
                ServerClock::time_point deadline, int wake_fd);

}  // namespace quivera
