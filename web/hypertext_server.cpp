// The hypertext server's control (start, stop) and its worker's serve loop.
//
// One pass of the loop, top to bottom:
//   listen  open the listening socket when there is none (again each second
//           while the port cannot be had);
//   wait    on the wake-up descriptor, the listener and every open
//           connection, at most until the first deadline;
//   serve   every connection that has sent something: read once, build the
//           page, send it whole within a time limit, close;
//   expire  close what stayed silent too long, and answered connections
//           whose client keeps sending;
//   accept  take the waiting newcomers, counting each; at the cap the oldest
//           connection that has not sent a byte makes room.
#include "web/hypertext_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <limits>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "adapter/poll_timeout.h"
#include "adapter/thread_stop.h"
#include "settings/ascii_case.h"
#include "web/http_response.h"
#include "web/server_counters.h"
#include "web/server_socket.h"

namespace quivera {
namespace {

// A request is parsed from one receive of at most this many bytes.
constexpr size_t kRequestBytes = 512;
// Newcomers taken from the listen queue in one pass, so that a flood of
// connections cannot keep the worker from serving the ones it holds.
constexpr int kAcceptsPerPass = 64;
constexpr size_t kNone = std::numeric_limits<size_t>::max();

struct Connection {
  UniqueFd fd;
  ServerClock::time_point deadline;  // closed when still open at this time
  bool answered = false;             // answer sent; only the client's leftovers remain
  std::string peer;                  // the client's address, for the change record
};

// The IPv4 address of the client on 'fd' as text, or "" when unknown.
std::string PeerAddress(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      address.sin_family != AF_INET) {
    return {};
  }
  char text[INET_ADDRSTRLEN] = {};
  return ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) != nullptr ? text : "";
}

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

bool ContainsIgnoringCase(std::string_view text, std::string_view lower_word) {
  for (size_t at = 0; at + lower_word.size() <= text.size(); ++at) {
    size_t i = 0;
    while (i < lower_word.size() && AsciiLower(text[at + i]) == lower_word[i]) ++i;
    if (i == lower_word.size()) return true;
  }
  return false;
}

// True when the one receive took the client's whole request: it ends with
// the header's empty line and announces no body. The connection can then be
// closed at once. Otherwise the client may still be sending, and closing with
// unread bytes would reset the connection and could destroy the answer before
// the client has read it.
bool WholeRequestRead(std::string_view request) {
  return request.size() < kRequestBytes && request.ends_with("\r\n\r\n") &&
         !ContainsIgnoringCase(request, "content-length") &&
         !ContainsIgnoringCase(request, "transfer-encoding");
}

// One run of the worker, from start() to stop(): the listening socket, the
// open connections and the steps of a pass. Everything it opens is closed
// when it ends, connections accepted after the stop began unanswered.
class Worker {
 public:
  Worker(const CHypertextServer::BodyBuilder& body_builder, const ServerLimits& limits,
         const std::atomic<bool>& running, const CHypertextServer::RunSettings& run, int wake_fd)
      : body_builder_(body_builder),
        limits_(limits),
        running_(running),
        run_(run),
        wake_fd_(wake_fd) {}

  void Run() {
    while (running_) {
      Listen();
      if (!Wait()) break;
      ServeRequests();
      CloseExpired();
      AcceptNewcomers();
    }
  }

 private:
  void Listen();
  bool Wait();
  void ServeRequests();
  void Serve(Connection& c);
  void CloseExpired();
  void AcceptNewcomers();
  size_t OldestSilent() const;
  const std::string& OkHeader();

  const CHypertextServer::BodyBuilder& body_builder_;
  const ServerLimits& limits_;
  const std::atomic<bool>& running_;
  const CHypertextServer::RunSettings& run_;
  const int wake_fd_;

  UniqueFd listener_;
  ServerClock::time_point next_listen_ = ServerClock::now();
  ServerClock::time_point accept_resume_ = next_listen_;  // accepting paused until then
  bool failure_told_ = false;
  std::vector<Connection> connections_;  // in the order they were accepted

  // The last wait: what was polled and what came back.
  std::vector<pollfd> fds_;
  bool listener_polled_ = false;
  size_t polled_connections_ = 0;

  // The answer header changes only with its Date line, once a second.
  std::time_t header_time_ = -1;
  std::string header_;
};

void Worker::Listen() {
  if (listener_.valid() || ServerClock::now() < next_listen_) return;
  int error = 0;
  listener_ = OpenListener(run_.port, &error, run_.address);
  if (listener_.valid()) {
    failure_told_ = false;
    if (run_.reporter) run_.reporter({run_.port, 0});
    return;
  }
  next_listen_ = ServerClock::now() + Ms(limits_.retry_ms);
  if (!failure_told_ && run_.reporter) run_.reporter({run_.port, error});
  failure_told_ = true;
}

// Waits for a wake-up, a newcomer, a request, a client's close or the first
// deadline. The listener is left out while accepting is paused, and at the
// cap when no open connection could make room. Returns false when the worker
// is to stop.
bool Worker::Wait() {
  const ServerClock::time_point now = ServerClock::now();
  ServerClock::time_point wake_at = now + Ms(limits_.retry_ms);
  if (!listener_.valid() && next_listen_ < wake_at) wake_at = next_listen_;
  if (listener_.valid() && accept_resume_ > now && accept_resume_ < wake_at) {
    wake_at = accept_resume_;
  }
  bool room = connections_.size() < limits_.max_connections;
  for (const Connection& c : connections_) room = room || !c.answered;
  listener_polled_ = listener_.valid() && now >= accept_resume_ && room;

  fds_.clear();
  fds_.push_back({wake_fd_, POLLIN, 0});
  if (listener_polled_) fds_.push_back({listener_.get(), POLLIN, 0});
  for (const Connection& c : connections_) {
    fds_.push_back({c.fd.get(), POLLIN, 0});
    if (c.deadline < wake_at) wake_at = c.deadline;
  }
  polled_connections_ = connections_.size();

  const int ready = ::poll(fds_.data(), fds_.size(), PollTimeoutUntil(wake_at));
  if (ready < 0) {
    for (pollfd& p : fds_) p.revents = 0;
    // Only a shortage of kernel memory gets here; wait rather than spin.
    if (errno != EINTR) std::this_thread::sleep_for(Ms(100));
  }
  if (fds_[0].revents != 0) DrainWakeUp(wake_fd_);
  return running_;
}

// Serves, in the order they were accepted, the connections that have sent
// something, and reads away what answered clients still send.
void Worker::ServeRequests() {
  const size_t first = listener_polled_ ? 2 : 1;
  for (size_t i = 0; i < polled_connections_ && running_; ++i) {
    if (fds_[first + i].revents == 0) continue;
    Connection& c = connections_[i];
    if (!c.answered) {
      Serve(c);
    } else if (!DiscardLeftovers(c.fd.get())) {
      c.fd.reset();
    }
  }
}

// Read once, build, send, close.
void Worker::Serve(Connection& c) {
  char request[kRequestBytes];
  const ssize_t got = ::recv(c.fd.get(), request, sizeof request, 0);
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  if (got <= 0) {
    c.fd.reset();  // closed or failed before sending anything: no answer
    return;
  }
  const std::string_view raw(request, static_cast<size_t>(got));

  ServerAnswer answer;
  if (run_.answer_builder) {
    answer = run_.answer_builder(raw);
  } else if (body_builder_) {
    answer.body = body_builder_(ParseRequestLine(raw).url, c.peer);
  }
  const std::string& head = run_.answer_builder ? answer.head : OkHeader();

  const auto send_deadline = ServerClock::now() + Ms(limits_.send_ms);
  if (!running_ || !SendWithin(c.fd.get(), head, answer.body, send_deadline, wake_fd_)) {
    // The body ends where the connection ends, so an abandoned answer is
    // ended with a reset: the client must not take it for a whole page.
    ResetConnection(c.fd);
    return;
  }

  if (WholeRequestRead(raw)) {
    c.fd.reset();
    return;
  }
  // End the body with our FIN, but keep reading what the client still sends
  // until it closes or its time is up.
  ::shutdown(c.fd.get(), SHUT_WR);
  c.answered = true;
  c.deadline = ServerClock::now() + Ms(limits_.linger_ms);
}

void Worker::CloseExpired() {
  const ServerClock::time_point now = ServerClock::now();
  for (Connection& c : connections_) {
    if (!c.fd.valid() || now < c.deadline) continue;
    // A request that arrived while another page was being built is served
    // in the next pass, never dropped for the time that page took.
    if (!c.answered && PeekPeerInput(c.fd.get()) == PeerInput::kWaiting) continue;
    c.fd.reset();
  }
  std::erase_if(connections_, [](const Connection& c) { return !c.fd.valid(); });
}

// The oldest connection that has not sent a byte (or whose client left
// without sending one), or kNone when every open connection has spoken.
size_t Worker::OldestSilent() const {
  for (size_t i = 0; i < connections_.size(); ++i) {
    const Connection& c = connections_[i];
    if (!c.answered && PeekPeerInput(c.fd.get()) != PeerInput::kWaiting) return i;
  }
  return kNone;
}

void Worker::AcceptNewcomers() {
  if (!listener_polled_ || fds_[1].revents == 0) return;
  for (int taken = 0; taken < kAcceptsPerPass && running_; ++taken) {
    size_t evict = kNone;
    if (connections_.size() >= limits_.max_connections) {
      evict = OldestSilent();
      if (evict == kNone) return;  // newcomers wait in the queue until one is served
    }
    const int fd = AcceptConnection(listener_.get());
    if (fd < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) return;
      if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO) continue;
      // Out of descriptors or memory: the pending client stays queued and
      // keeps the listener readable, so pause instead of spinning.
      accept_resume_ = ServerClock::now() + Ms(limits_.retry_ms);
      return;
    }
    if (run_.counts_accesses) ServerAccessCount.fetch_add(1);
    if (evict != kNone) connections_.erase(connections_.begin() + static_cast<ptrdiff_t>(evict));
    connections_.push_back(
        {UniqueFd(fd), ServerClock::now() + Ms(limits_.idle_ms), false, PeerAddress(fd)});
  }
}

const std::string& Worker::OkHeader() {
  const std::time_t now = std::time(nullptr);
  if (now != header_time_) {
    header_ = BuildOkHeader(run_.name, now);
    header_time_ = now;
  }
  return header_;
}

}  // namespace

CHypertextServer::CHypertextServer(BodyBuilder body_builder, ServerLimits limits)
    : body_builder_(std::move(body_builder)), limits_(limits), name_("QUIVERA/FDDI") {}

CHypertextServer::CHypertextServer(UrlBodyBuilder body_builder, ServerLimits limits)
    : CHypertextServer(
          body_builder ? BodyBuilder([builder = std::move(body_builder)](
                                         const std::string& upper_url, const std::string&) {
            return builder(upper_url);
          })
                       : BodyBuilder(),
          limits) {}

CHypertextServer::~CHypertextServer() { stop(); }

void CHypertextServer::setName(std::string name) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  name_ = std::move(name);
}

void CHypertextServer::setPort(int32_t port) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  port_ = port;
}

void CHypertextServer::setListenReporter(ListenReporter reporter) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  listen_reporter_ = std::move(reporter);
}

void CHypertextServer::setAnswerBuilder(AnswerBuilder builder) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  answer_builder_ = std::move(builder);
}

void CHypertextServer::setAddress(std::string address) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  address_ = std::move(address);
}

void CHypertextServer::setCountsAccesses(bool counts) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  counts_accesses_ = counts;
}

void CHypertextServer::start() {
  std::lock_guard<std::mutex> lock(control_mutex_);
  StopWorker();
  wake_fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  running_ = true;
  RunSettings run{name_, port_, address_, listen_reporter_, answer_builder_, counts_accesses_};
  // Without a wake-up descriptor the worker still ends: every wait it makes is
  // bounded, and it looks at the running flag between waits.
  worker_ = std::thread(&CHypertextServer::ServeLoop, this, std::move(run), wake_fd_);
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

void CHypertextServer::ServeLoop(const RunSettings& run, int wake_fd) {
  // Once stop is asked, the page being built gives up at its next driver
  // read (or wait for the adapter) and is abandoned unsent.
  const ThreadStopScope stop_scope(running_);
  Worker(body_builder_, limits_, running_, run, wake_fd).Run();
}

}  // namespace quivera
