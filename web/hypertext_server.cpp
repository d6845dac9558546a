// The hypertext server's control (start, stop) and its worker's serve loop.
//
// The loop, top to bottom: listen; wait on the wake-up descriptor, the
// listener and every open connection; accept what is waiting (counting each);
// serve the first connection that has sent something: read once, build the
// page, send it whole, end the sending side; read and drop what the client
// still sends until it closes; close connections that stay silent too long.
#include "web/hypertext_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <thread>
#include <utility>
#include <vector>

#include "adapter/thread_stop.h"
#include "web/server_counters.h"
#include "web/http_response.h"
#include "web/server_socket.h"

namespace quivera {
namespace {

// A request is parsed from one receive of at most this many bytes.
constexpr size_t kRequestBytes = 512;

struct Connection {
  UniqueFd fd;
  ServerClock::time_point deadline;  // closed when still open at this time
  bool answered = false;             // answer sent; only the client's leftovers remain
};

std::chrono::milliseconds Ms(int ms) { return std::chrono::milliseconds(ms); }

void DrainWakeUp(int wake_fd) {
  uint64_t value = 0;
  while (::read(wake_fd, &value, sizeof value) > 0) {
  }
}

// Reads and drops whatever the answered client still sends. Returns false
// once the client has closed (or failed), when the connection can go.
bool DiscardLeftovers(int fd) {
  char scrap[4096];
  for (;;) {
    const ssize_t got = ::recv(fd, scrap, sizeof scrap, 0);
    if (got > 0) continue;
    if (got < 0 && errno == EINTR) continue;
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

void ResetConnection(UniqueFd& fd) {
  const linger abort_on_close{1, 0};
  ::setsockopt(fd.get(), SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  fd.reset();
}

}  // namespace

CHypertextServer::CHypertextServer(BodyBuilder body_builder, ServerLimits limits)
    : body_builder_(std::move(body_builder)), limits_(limits), name_("QUIVERA/FDDI") {}

CHypertextServer::~CHypertextServer() { stop(); }

void CHypertextServer::setName(std::string name) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  name_ = std::move(name);
}

void CHypertextServer::setPort(int32_t port) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  port_ = port;
}

void CHypertextServer::start() {
  std::lock_guard<std::mutex> lock(control_mutex_);
  StopWorker();
  wake_fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  running_ = true;
  // Without a wake-up descriptor the worker still ends: every wait it makes is
  // bounded, and it looks at the running flag between waits.
  worker_ = std::thread(&CHypertextServer::ServeLoop, this, name_, port_, wake_fd_);
}

void CHypertextServer::stop() {
  std::lock_guard<std::mutex> lock(control_mutex_);
  StopWorker();
}

void CHypertextServer::StopWorker() {
  running_ = false;
  if (wake_fd_ >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_fd_, &one, sizeof one);
  }
  if (worker_.joinable()) worker_.join();
  if (wake_fd_ >= 0) {
    ::close(wake_fd_);
    wake_fd_ = -1;
  }
}

void CHypertextServer::ServeLoop(std::string name, int32_t port, int wake_fd) {
  // Once stop is asked, the page being built gives up at its next driver
  // read (or wait for the adapter) and is abandoned below.
  const ThreadStopScope stop_scope(running_);
  UniqueFd listener;
  ServerClock::time_point next_listen = ServerClock::now();
  ServerClock::time_point accept_resume = next_listen;
  std::vector<Connection> connections;

  while (running_) {
    ServerClock::time_point now = ServerClock::now();
    if (!listener.valid() && now >= next_listen) {
      listener = OpenListener(port);
      if (!listener.valid()) next_listen = now + Ms(limits_.retry_ms);
    }

    // Wait for a wake-up, a new connection, a request, a client's close or
    // the first deadline. At the connection cap the listener is left alone,
    // so new clients wait in its queue.
    std::vector<pollfd> fds;
    fds.push_back({wake_fd, POLLIN, 0});
    const bool accepting =
        listener.valid() && connections.size() < limits_.max_connections && now >= accept_resume;
    if (accepting) fds.push_back({listener.get(), POLLIN, 0});
    const size_t first_connection = fds.size();
    ServerClock::time_point wake_at = now + Ms(limits_.retry_ms);
    if (!listener.valid() && next_listen < wake_at) wake_at = next_listen;
    if (listener.valid() && !accepting && accept_resume > now && accept_resume < wake_at) {
      wake_at = accept_resume;
    }
    for (const Connection& c : connections) {
      fds.push_back({c.fd.get(), POLLIN, 0});
      if (c.deadline < wake_at) wake_at = c.deadline;
    }
    const int ready = ::poll(fds.data(), fds.size(), MillisecondsUntil(wake_at));
    if (ready < 0 && errno != EINTR) {
      // Only a shortage of kernel memory gets here; wait rather than spin.
      std::this_thread::sleep_for(Ms(100));
      continue;
    }
    if (fds[0].revents != 0) DrainWakeUp(wake_fd);
    if (!running_) break;
    now = ServerClock::now();

    // Requests first, in the order the connections were accepted: the first
    // one that has sent something is served, the others wait for the next turn.
    bool served = false;
    for (size_t i = 0; i < connections.size(); ++i) {
      Connection& c = connections[i];
      const short events = ready > 0 ? fds[first_connection + i].revents : 0;
      if (events == 0) {
        if (now >= c.deadline) c.fd.reset();
        continue;
      }
      if (c.answered) {
        if (!DiscardLeftovers(c.fd.get())) c.fd.reset();
        continue;
      }
      if (served) continue;
      served = true;
      char request[kRequestBytes];
      const ssize_t got = ::recv(c.fd.get(), request, sizeof request, 0);
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
      if (got <= 0) {
        c.fd.reset();  // closed or failed before sending anything: no answer
        continue;
      }
      const HttpRequestLine line =
          ParseRequestLine(std::string_view(request, static_cast<size_t>(got)));
      std::string answer = BuildOkHeader(name, std::time(nullptr));
      answer += body_builder_ ? body_builder_(line.url) : std::string();
      const auto send_deadline = ServerClock::now() + Ms(limits_.send_ms);
      if (!running_ || !SendWithin(c.fd.get(), answer, send_deadline, wake_fd)) {
        // The body ends where the connection ends, so an abandoned answer is
        // ended with a reset: the client must not take it for a whole page.
        ResetConnection(c.fd);
        continue;
      }
      // End the body with our FIN, but keep reading: closing with unread
      // request bytes would reset the connection and could destroy the answer
      // before the client has read it.
      ::shutdown(c.fd.get(), SHUT_WR);
      c.answered = true;
      c.deadline = ServerClock::now() + Ms(limits_.linger_ms);
    }
    std::erase_if(connections, [](const Connection& c) { return !c.fd.valid(); });

    // New connections: every one is counted; those arriving after stop began
    // are closed unanswered when the loop ends.
    if (accepting && ready > 0 && fds[1].revents != 0) {
      while (connections.size() < limits_.max_connections) {
        const int fd = AcceptConnection(listener.get());
        if (fd < 0) {
          if (errno == EAGAIN || errno == EWOULDBLOCK) break;
          if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO) continue;
          // Out of descriptors or memory: the pending client stays queued and
          // keeps the listener readable, so pause instead of spinning.
          accept_resume = ServerClock::now() + Ms(limits_.retry_ms);
          break;
        }
        ServerAccessCount.fetch_add(1);
        connections.push_back({UniqueFd(fd), ServerClock::now() + Ms(limits_.idle_ms), false});
      }
    }
  }
}

}  // namespace quivera
