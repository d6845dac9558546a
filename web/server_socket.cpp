// Bounded socket operations of the hypertext server.
#include "web/server_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
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

UniqueFd OpenListener(int32_t port) {
  if (port < 1 || port > 65535) return UniqueFd();
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.valid()) return UniqueFd();
  const int on = 1;
  if (::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return UniqueFd();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return UniqueFd();
  }
  if (::listen(fd.get(), kListenBacklog) != 0) return UniqueFd();
  return fd;
}

int AcceptConnection(int listener) {
  return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

bool SendWithin(int fd, std::string_view data, ServerClock::time_point deadline, int wake_fd) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      data.remove_prefix(static_cast<size_t>(sent));
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    // The client's window is full: wait for room, the deadline or a wake-up.
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wake_fd, POLLIN, 0}};
    const nfds_t count = wake_fd >= 0 ? 2 : 1;
    const int timeout = MillisecondsUntil(deadline);
    if (timeout == 0) return false;
    const int ready = ::poll(fds, count, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (count == 2 && fds[1].revents != 0) return false;
    if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return false;
  }
  return true;
}

int MillisecondsUntil(ServerClock::time_point deadline) { return PollTimeoutUntil(deadline); }

}  // namespace quivera
