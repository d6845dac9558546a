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
#include "adapter/management_request.h"
#include "adapter/poll_timeout.h"
#include "adapter/thread_stop.h"

namespace quivera {

namespace {

using Clock = SteadyClock;

// A background connection's connect gives up after this (a driver that does
// not take connections is tried again shortly).
constexpr std::chrono::milliseconds kProbeConnectTimeout{500};
// Pause between two background tries.
constexpr std::chrono::milliseconds kProbePause{200};

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

// How one exchange ended.
enum class Outcome {
  kAnswered,   // a valid reply: the driver's status decides
  kBroken,     // the peer broke the exchange or closed the connection
  kTimedOut,   // the deadline passed
  kAbandoned,  // the calling thread was asked to stop
};

// Waits until 'fd' is ready for 'events', looking at the calling thread's
// stop request at least every kStopCheckMs.
Outcome WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    if (ThreadStopRequested()) return Outcome::kAbandoned;
    pollfd entry{fd, events, 0};
    const int rc = poll(&entry, 1, PollTimeoutUntil(deadline, kStopCheckMs));
    if (rc > 0) return Outcome::kAnswered;  // readiness, hang-up or error: the next call tells
    if (rc < 0 && errno != EINTR) return Outcome::kBroken;
    if (rc == 0 && Clock::now() >= deadline) return Outcome::kTimedOut;
  }
}

Outcome SendAll(int fd, const uint8_t* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    const Outcome ready = WaitFor(fd, POLLOUT, deadline);
    if (ready != Outcome::kAnswered) return ready;
    ssize_t sent = send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return Outcome::kBroken;
    }
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return Outcome::kAnswered;
}

Outcome ReceiveAll(int fd, uint8_t* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    const Outcome ready = WaitFor(fd, POLLIN, deadline);
    if (ready != Outcome::kAnswered) return ready;
    ssize_t got = recv(fd, data, size, MSG_DONTWAIT);
    if (got == 0) return Outcome::kBroken;  // the peer closed the connection
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return Outcome::kBroken;
    }
    data += got;
    size -= static_cast<size_t>(got);
  }
  return Outcome::kAnswered;
}

// One request and its reply on 'fd'. On kAnswered, *status is the driver's
// (0 only for a reply that brought all 'len' bytes) and *returned its
// bytes-returned word; the connection is then still in step.
Outcome Exchange(int fd, uint32_t oid, uint8_t* data, size_t len, Clock::time_point deadline,
                 uint32_t* status, size_t* returned) {
  uint8_t header[kWireRequestHeader];
  StoreU32(header, oid);
  StoreU32(header + 4, static_cast<uint32_t>(len));
  Outcome outcome = SendAll(fd, header, sizeof(header), deadline);
  if (outcome == Outcome::kAnswered) outcome = SendAll(fd, data, len, deadline);
  if (outcome != Outcome::kAnswered) return outcome;

  uint8_t reply[kWireReplyHeader];
  outcome = ReceiveAll(fd, reply, sizeof(reply), deadline);
  if (outcome != Outcome::kAnswered) return outcome;
  *status = LoadU32(reply);
  const uint32_t bytes_returned = LoadU32(reply + 4);
  const uint32_t count = LoadU32(reply + 8);
  const bool valid = (*status == 0 || *status == 1) && bytes_returned <= len && count <= len &&
                     (*status == 0 || count == 0);
  if (!valid) return Outcome::kBroken;  // the stream is out of step: nothing after this holds
  outcome = ReceiveAll(fd, data, count, deadline);
  if (outcome != Outcome::kAnswered) return outcome;
  // The driver answers into the whole buffer; a reply that brings less leaves
  // part of it as the caller sent it, which must not pass for the driver's.
  if (count < len) *status = 1;
  *returned = bytes_returned;
  return Outcome::kAnswered;
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

SocketDriverChannel::~SocketDriverChannel() {
  StopProbe();
  Close();
}

void SocketDriverChannel::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

int SocketDriverChannel::Request(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  *returned = 0;
  if (len > kMaxWireLength || (buffer == nullptr && len > 0)) return 1;
  if (resting_ && !Wake()) return 1;  // the driver has not answered yet: fail at once
  if (fd_ < 0) {
    fd_ = ConnectUnix(path_, timeout_);
    if (fd_ < 0) return 1;
  }
  uint32_t status = 1;
  size_t bytes_returned = 0;
  const Outcome outcome = Exchange(fd_, oid, static_cast<uint8_t*>(buffer), len,
                                   Clock::now() + timeout_, &status, &bytes_returned);
  if (outcome != Outcome::kAnswered) {
    // Whatever was half sent or half read leaves the stream out of step.
    Close();
    if (outcome == Outcome::kTimedOut) Rest();
    return 1;
  }
  // A failure the driver reported leaves the connection usable.
  if (status != 0) return 1;
  *returned = bytes_returned;
  return 0;
}

void SocketDriverChannel::Rest() {
  StopProbe();
  resting_ = true;
  probing_ = true;
  probe_ = std::thread(&SocketDriverChannel::Probe, this);
}

bool SocketDriverChannel::Wake() {
  int fd = -1;
  {
    std::lock_guard<std::mutex> lock(probe_mutex_);
    std::swap(fd, answered_fd_);
  }
  if (fd < 0) return false;
  StopProbe();  // it has ended, or is about to: it hands over only when done
  Close();
  fd_ = fd;
  resting_ = false;
  return true;
}

void SocketDriverChannel::StopProbe() {
  probing_ = false;
  if (probe_.joinable()) probe_.join();
  std::lock_guard<std::mutex> lock(probe_mutex_);
  if (answered_fd_ >= 0) close(answered_fd_);
  answered_fd_ = -1;
}

void SocketDriverChannel::Probe() {
  // The background connection's waits look at 'probing_' like any other
  // thread's at its stop request, so the channel can end it at once.
  const ThreadStopScope stop(probing_);
  while (!ThreadStopRequested()) {
    const int fd = ConnectUnix(path_, kProbeConnectTimeout);
    if (fd >= 0) {
      // The vendor id is read-only and every driver answers it; any valid
      // reply, even a refusal, shows the driver is back.
      uint8_t word[4] = {};
      uint32_t status = 1;
      size_t returned = 0;
      if (Exchange(fd, kOidGenVendorId, word, sizeof word, Clock::now() + kProbePatience, &status,
                   &returned) == Outcome::kAnswered) {
        std::lock_guard<std::mutex> lock(probe_mutex_);
        answered_fd_ = fd;
        return;
      }
      close(fd);
    }
    const Clock::time_point pause_end = Clock::now() + kProbePause;
    while (Clock::now() < pause_end && !ThreadStopRequested()) {
      poll(nullptr, 0, PollTimeoutUntil(pause_end, kStopCheckMs));
    }
  }
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
