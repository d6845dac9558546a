#include "adapter/socket_driver_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "adapter/little_endian.h"

namespace quivera {

namespace {

using Clock = std::chrono::steady_clock;

// Opens a blocking stream socket connected to 'path', or -1. The connect
// itself is bounded by 'timeout' (a full listen backlog would otherwise block).
int ConnectUnix(const std::string& path, std::chrono::milliseconds timeout) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return -1;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());

  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  timeval limit{};
  limit.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  limit.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
  int rc;
  do {
    rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Milliseconds left until 'deadline' for poll(), at least 0.
int Remaining(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0) return 0;
  return static_cast<int>(left.count());
}

// Waits until 'fd' is ready for 'events' or the deadline passes. True when ready.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    int wait = Remaining(deadline);
    int rc = poll(&entry, 1, wait);
    if (rc > 0) return true;  // readiness, hang-up or error: the next call tells which
    if (rc == 0) return false;
    if (errno != EINTR) return false;
  }
}

bool SendAll(int fd, const uint8_t* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    if (!WaitFor(fd, POLLOUT, deadline)) return false;
    ssize_t sent = send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int fd, uint8_t* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    if (!WaitFor(fd, POLLIN, deadline)) return false;
    ssize_t got = recv(fd, data, size, MSG_DONTWAIT);
    if (got == 0) return false;  // the peer closed the connection
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    data += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

std::string DeviceSocketName(const std::string& device_path) {
  size_t cut = device_path.find_last_of("\\/");
  std::string name = cut == std::string::npos ? device_path : device_path.substr(cut + 1);
  if (name == "." || name == "..") return {};
  return name;
}

std::unique_ptr<SocketDriverChannel> SocketDriverChannel::Connect(
    const std::string& socket_path, std::chrono::milliseconds timeout) {
  int fd = ConnectUnix(socket_path, timeout);
  if (fd < 0) return nullptr;
  return std::unique_ptr<SocketDriverChannel>(new SocketDriverChannel(socket_path, timeout, fd));
}

SocketDriverChannel::SocketDriverChannel(std::string path, std::chrono::milliseconds timeout,
                                         int fd)
    : path_(std::move(path)), timeout_(timeout), fd_(fd) {}

SocketDriverChannel::~SocketDriverChannel() { Close(); }

void SocketDriverChannel::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

int SocketDriverChannel::Request(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  *returned = 0;
  if (len > kMaxWireLength || (buffer == nullptr && len > 0)) return 1;
  if (fd_ < 0) {
    fd_ = ConnectUnix(path_, timeout_);
    if (fd_ < 0) return 1;
  }
  // A failure the driver reported leaves the connection usable; Exchange
  // closes it when the exchange itself broke.
  return Exchange(oid, buffer, len, returned);
}

int SocketDriverChannel::Exchange(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  const Clock::time_point deadline = Clock::now() + timeout_;
  uint8_t header[kWireRequestHeader];
  StoreU32(header, oid);
  StoreU32(header + 4, static_cast<uint32_t>(len));
  uint8_t* data = static_cast<uint8_t*>(buffer);
  if (!SendAll(fd_, header, sizeof(header), deadline) || !SendAll(fd_, data, len, deadline)) {
    Close();
    return 1;
  }

  uint8_t reply[kWireReplyHeader];
  if (!ReceiveAll(fd_, reply, sizeof(reply), deadline)) {
    Close();
    return 1;
  }
  const uint32_t status = LoadU32(reply);
  const uint32_t bytes_returned = LoadU32(reply + 4);
  const uint32_t count = LoadU32(reply + 8);
  const bool valid = (status == 0 || status == 1) && bytes_returned <= len && count <= len &&
                     (status == 0 || count == 0);
  if (!valid) {
    Close();  // the stream is out of step: nothing after this can be trusted
    return 1;
  }
  if (!ReceiveAll(fd_, data, count, deadline)) {
    Close();
    return 1;
  }
  if (status != 0) return 1;
  *returned = bytes_returned;
  return 0;
}

ChannelOpener MakeSocketChannelOpener(std::string device_dir) {
  return [dir = std::move(device_dir)](
             const std::string& device_path) -> std::unique_ptr<DriverChannel> {
    std::string name = DeviceSocketName(device_path);
    if (name.empty()) return nullptr;
    std::string path = dir;
    if (!path.empty() && path.back() != '/') path += '/';
    return SocketDriverChannel::Connect(path + name);
  };
}

}  // namespace quivera
