#include "emulator/emulator_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "adapter/little_endian.h"
#include "adapter/socket_driver_channel.h"
#include "emulator/request_log.h"

namespace quivera {

namespace {

using Clock = std::chrono::steady_clock;

bool FillAddress(const std::string& path, sockaddr_un* address) {
  *address = sockaddr_un{};
  if (path.empty() || path.size() >= sizeof(address->sun_path)) return false;
  address->sun_family = AF_UNIX;
  std::memcpy(address->sun_path, path.data(), path.size());
  return true;
}

// True when something accepts connections on the socket at 'path'.
bool SomeoneListens(const std::string& path) {
  sockaddr_un address;
  if (!FillAddress(path, &address)) return false;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  int rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  // A full backlog (EAGAIN) still means a live server.
  bool live = rc == 0 || errno == EAGAIN;
  close(fd);
  return live;
}

std::string ErrnoText(int error_number) { return std::strerror(error_number); }

}  // namespace

struct EmulatorServer::Connection {
  int fd = -1;
  size_t endpoint = 0;       // index into endpoints_
  std::vector<uint8_t> in;   // the request being read: header, then body
  size_t have = 0;           // bytes of 'in' read so far
  std::vector<uint8_t> out;  // the reply being written
  size_t sent = 0;
  Clock::time_point progress = Clock::now();
  bool answered = false;  // at least one request was answered

  bool Writing() const { return sent < out.size(); }
  bool MidRequest() const { return have > 0 || Writing(); }
};

EmulatorServer::EmulatorServer() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    stop_read_ = fds[0];
    stop_write_ = fds[1];
  }
}

EmulatorServer::~EmulatorServer() {
  RemoveEndpoints();
  if (stop_read_ >= 0) close(stop_read_);
  if (stop_write_ >= 0) close(stop_write_);
}

int EmulatorServer::AddEndpoint(const std::string& dir, const std::string& device, Station* station,
                                std::string* error) {
  std::string base = dir.empty() ? std::string(".") : dir;
  if (base.back() != '/') base += '/';
  const std::string path = base + device;
  const std::string staging = base + "." + device + "." + std::to_string(getpid());
  sockaddr_un address;
  if (!FillAddress(path, &address) || !FillAddress(staging, &address)) {
    *error = path + ": path too long for a socket";
    return 1;
  }

  struct stat info;
  if (lstat(path.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) {
      *error = path + ": exists and is not a socket";
      return 1;
    }
    if (SomeoneListens(path)) {
      *error = path + ": already served by another program";
      return 1;
    }
    unlink(path.c_str());  // left behind by a run that did not end cleanly
  }

  // Listen under a staging name, then rename: a client never finds a socket
  // that exists but does not accept connections yet.
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = path + ": " + ErrnoText(errno);
    return 1;
  }
  unlink(staging.c_str());
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(fd, 16) != 0 || rename(staging.c_str(), path.c_str()) != 0 ||
      lstat(path.c_str(), &info) != 0) {
    *error = path + ": " + ErrnoText(errno);
    close(fd);
    unlink(staging.c_str());
    return 1;
  }
  Endpoint endpoint;
  endpoint.device = device;
  endpoint.path = path;
  endpoint.fd = fd;
  endpoint.file_device = info.st_dev;
  endpoint.file_inode = info.st_ino;
  endpoint.station = station;
  endpoints_.push_back(endpoint);
  return 0;
}

void EmulatorServer::RemoveEndpoints() {
  for (auto& connection : connections_) close(connection->fd);
  connections_.clear();
  for (Endpoint& endpoint : endpoints_) {
    if (endpoint.fd >= 0) close(endpoint.fd);
    endpoint.fd = -1;
    struct stat info;
    if (lstat(endpoint.path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
        info.st_dev == endpoint.file_device && info.st_ino == endpoint.file_inode) {
      unlink(endpoint.path.c_str());
    }
  }
  endpoints_.clear();
}

void EmulatorServer::RequestStop() {
  if (stop_write_ < 0) return;
  const char byte = 1;
  ssize_t ignored = write(stop_write_, &byte, 1);
  (void)ignored;  // a full pipe already holds a stop request
}

int EmulatorServer::Run() {
  if (stop_read_ < 0) return 1;
  for (;;) {
    // Poll set: the stop pipe, the listeners (while below the connection
    // cap), then every connection, reading or writing.
    std::vector<pollfd> fds;
    fds.push_back({stop_read_, POLLIN, 0});
    const bool accepting = connections_.size() < kMaxConnections;
    if (accepting) {
      for (const Endpoint& endpoint : endpoints_) fds.push_back({endpoint.fd, POLLIN, 0});
    }
    const size_t first_connection = fds.size();
    for (const auto& connection : connections_) {
      fds.push_back({connection->fd, connection->Writing() ? short{POLLOUT} : short{POLLIN}, 0});
    }

    // Wake often enough to close silent and stalled connections on time.
    const auto wait = std::min<std::chrono::milliseconds>(silent_limit_, std::chrono::milliseconds(1000));
    int rc = poll(fds.data(), fds.size(), static_cast<int>(std::max<int64_t>(wait.count(), 10)));
    if (rc < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (fds[0].revents != 0) return 0;

    // Connections first (their indices match the poll set), then new ones.
    std::vector<std::unique_ptr<Connection>> kept;
    const Clock::time_point now = Clock::now();
    for (size_t i = 0; i < connections_.size(); ++i) {
      Connection& connection = *connections_[i];
      short revents = fds[first_connection + i].revents;
      bool alive = true;
      if (revents != 0) {
        alive = Service(connection, revents);
      } else if (connection.MidRequest() && now - connection.progress > kStallLimit) {
        alive = false;
      } else if (!connection.answered && !connection.MidRequest() &&
                 now - connection.progress > silent_limit_) {
        alive = false;  // connected and never asked anything
      }
      if (alive) {
        kept.push_back(std::move(connections_[i]));
      } else {
        close(connection.fd);
      }
    }
    connections_ = std::move(kept);
    if (accepting) {
      for (size_t i = 0; i < endpoints_.size(); ++i) {
        if (fds[1 + i].revents != 0) Accept(i);
      }
    }
  }
}

void EmulatorServer::Accept(size_t endpoint) {
  while (connections_.size() < kMaxConnections) {
    int fd = accept4(endpoints_[endpoint].fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // nothing pending (or out of descriptors: try next round)
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connection->endpoint = endpoint;
    connection->in.resize(kWireRequestHeader);
    connections_.push_back(std::move(connection));
  }
}

bool EmulatorServer::Service(Connection& connection, short revents) {
  if (connection.Writing()) {
    if ((revents & (POLLERR | POLLHUP)) != 0 && (revents & POLLOUT) == 0) return false;
    return Flush(connection);
  }
  ssize_t got = recv(connection.fd, connection.in.data() + connection.have,
                     connection.in.size() - connection.have, MSG_DONTWAIT);
  if (got == 0) return false;
  if (got < 0) return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
  connection.have += static_cast<size_t>(got);
  connection.progress = Clock::now();
  if (connection.have < connection.in.size()) return true;

  if (connection.in.size() == kWireRequestHeader) {
    const uint32_t length = LoadU32(connection.in.data() + 4);
    if (length > kMaxWireLength) return false;  // not a peer we can serve
    connection.in.resize(kWireRequestHeader + length);
    if (length > 0) return true;
  }
  Answer(connection);
  return Flush(connection);
}

void EmulatorServer::Answer(Connection& connection) {
  const uint32_t oid = LoadU32(connection.in.data());
  uint8_t* buffer = connection.in.data() + kWireRequestHeader;
  const size_t length = connection.in.size() - kWireRequestHeader;
  Endpoint& endpoint = endpoints_[connection.endpoint];
  WriteRequestLog(log_, RequestLogLine(endpoint.device, oid, buffer, length));
  if (request_delay_.count() > 0) std::this_thread::sleep_for(request_delay_);

  size_t returned = 0;
  const int status = endpoint.station->Handle(oid, buffer, length, &returned) == 0 ? 0 : 1;
  if (returned > length) returned = length;
  const size_t count = status == 0 ? length : 0;

  connection.out.resize(kWireReplyHeader + count);
  StoreU32(connection.out.data(), static_cast<uint32_t>(status));
  StoreU32(connection.out.data() + 4, status == 0 ? static_cast<uint32_t>(returned) : 0);
  StoreU32(connection.out.data() + 8, static_cast<uint32_t>(count));
  if (count > 0) std::memcpy(connection.out.data() + kWireReplyHeader, buffer, count);
  connection.sent = 0;
  connection.in.assign(kWireRequestHeader, 0);
  connection.have = 0;
  connection.answered = true;
}

bool EmulatorServer::Flush(Connection& connection) {
  while (connection.Writing()) {
    ssize_t sent = send(connection.fd, connection.out.data() + connection.sent,
                        connection.out.size() - connection.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EINTR) continue;
      return errno == EAGAIN || errno == EWOULDBLOCK;  // wait for room
    }
    connection.sent += static_cast<size_t>(sent);
    connection.progress = Clock::now();
  }
  connection.out.clear();
  connection.sent = 0;
  return true;
}

}  // namespace quivera
