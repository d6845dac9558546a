// Bounded socket operations of the hypertext server.
#include "web/server_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

#include "adapter/poll_timeout.h"

namespace quivera {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) reset(other.release());
  return *this;
}

int UniqueFd::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void UniqueFd::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

UniqueFd OpenListener(int32_t port, int* error, const std::string& address) {
  int ignored = 0;
  int& reason = error != nullptr ? *error : ignored;
  reason = 0;
  if (port < 1 || port > 65535) {
    reason = EINVAL;
    return UniqueFd();
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(static_cast<uint16_t>(port));
  if (!address.empty() && ::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
    reason = EINVAL;
    return UniqueFd();
  }
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const int on = 1;
  if (!fd.valid() || ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      ::listen(fd.get(), kListenBacklog) != 0) {
    reason = errno;  // before the descriptor's close can touch it
    return UniqueFd();
  }
  return fd;
}

int AcceptConnection(int listener) {
  return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

PeerInput PeekPeerInput(int fd) {
  char byte = 0;
  for (;;) {
    const ssize_t got = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (got > 0) return PeerInput::kWaiting;
    if (got == 0) return PeerInput::kEnded;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? PeerInput::kNothing : PeerInput::kEnded;
  }
}

bool SendWithin(int fd, std::string_view head, std::string_view body,
                ServerClock::time_point deadline, int wake_fd) {
  // Both pieces go out in one call while the client's window has room, so
  // the answer needs neither a copy nor a second system call.
  while (!head.empty() || !body.empty()) {
    iovec pieces[2] = {{const_cast<char*>(head.data()), head.size()},
                       {const_cast<char*>(body.data()), body.size()}};
    msghdr message{};
    message.msg_iov = head.empty() ? &pieces[1] : pieces;
    message.msg_iovlen = head.empty() ? 1 : 2;
    const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
    if (sent > 0) {
      const size_t done = static_cast<size_t>(sent);
      const size_t from_head = done < head.size() ? done : head.size();
      head.remove_prefix(from_head);
      body.remove_prefix(done - from_head);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    // The client's window is full: wait for room, the deadline or a wake-up.
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wake_fd, POLLIN, 0}};
    const nfds_t count = wake_fd >= 0 ? 2 : 1;
    const int timeout = PollTimeoutUntil(deadline);
    if (timeout == 0) return false;
    const int ready = ::poll(fds, count, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (count == 2 && fds[1].revents != 0) return false;
    if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return false;
  }
  return true;
}

}  // namespace quivera
