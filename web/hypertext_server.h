// CHypertextServer: the "Hypertext Connection", a very small HTTP/1.0 server
// on a worker thread of its own. Every request that delivers at least one
// byte is answered "200 OK" with a page, the body ending when the server
// closes the connection. The server knows nothing about pages: a body builder
// turns the request's upper-cased URL into the page text.
//
// One request is served at a time, but the worker waits on the listening
// socket and on every accepted connection at once, so a client that connects
// and sends nothing (a browser's speculative connection, a stalled peer)
// delays nobody; it is closed after a while, or at once when the open
// connections reach their cap and a newcomer needs the place. A connection
// whose request has arrived is served, however long the page before it took.
// Every wait also watches a wake-up descriptor, so stop() returns at once.
//
// The same loop serves other small listeners of the program (the metrics
// listener): they give an answer builder that writes the whole answer,
// header included, a listening address, and leave the access count alone.
//
// setName, setPort, start and stop are meant for one controlling thread (the
// user-interface thread); they are nevertheless safe to call from several.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "web/listen_report.h"

namespace quivera {

// Time and size bounds of the worker. The defaults are the program's; tests
// shorten some of them.
struct ServerLimits {
  int idle_ms = 5000;           // an accepted connection that sends nothing is closed after this
  int send_ms = 5000;           // an answer the client does not take within this is dropped
  int linger_ms = 1000;         // after the answer, what the client still sends is read and dropped
  int retry_ms = 1000;          // pause before trying again a port that could not be listened on
  // Open connections. At the cap a newcomer is still accepted and the oldest
  // connection that has not sent a byte is closed for it; only when every
  // open connection has spoken do newcomers wait in the listen queue.
  size_t max_connections = 16;
};

// A whole answer: header (status line to the empty line) and body.
struct ServerAnswer {
  std::string head;
  std::string body;
};

class CHypertextServer {
 public:
  // Builds the whole answer to a request from the bytes of its one receive.
  // Called on the worker thread only, one request at a time.
  using AnswerBuilder = std::function<ServerAnswer(std::string_view request)>;

  // Builds the body of the answer to a request whose upper-cased URL is
  // given, from the client at 'peer' (its IPv4 address as text). Called on
  // the worker thread only, one request at a time.
  using BodyBuilder =
      std::function<std::string(const std::string& upper_url, const std::string& peer)>;
  // The same for a builder that does not look at the client.
  using UrlBodyBuilder = std::function<std::string(const std::string& upper_url)>;

  explicit CHypertextServer(BodyBuilder body_builder, ServerLimits limits = {});
  explicit CHypertextServer(UrlBodyBuilder body_builder, ServerLimits limits = {});
  CHypertextServer(const CHypertextServer&) = delete;
  CHypertextServer& operator=(const CHypertextServer&) = delete;
  ~CHypertextServer();  // stops the worker and waits for it

  // The text of the "Server:" header line; used from the next start.
  void setName(std::string name);
  // The TCP port to listen on, used from the next start. A port outside
  // 1..65535 can never be listened on: the worker keeps retrying quietly.
  void setPort(int32_t port);
  // Told on the worker thread, from the next start, once that the worker
  // listens, or once that it cannot (not again on each retry; it is told
  // when a later retry succeeds).
  void setListenReporter(ListenReporter reporter);
  // From the next start: the answers come whole from 'builder' instead of
  // the "200 OK" header and the body builder's page.
  void setAnswerBuilder(AnswerBuilder builder);
  // From the next start: listen on the one local IPv4 address given in
  // dotted form; empty (the default) listens on all of them.
  void setAddress(std::string address);
  // From the next start: whether accepted connections count in
  // ServerAccessCount (the Hypertext Connection's count; true by default).
  void setCountsAccesses(bool counts);

  // Starts the worker thread on the serve loop. A worker already running is
  // stopped first, so there is never more than one. The worker listens from
  // now until stop(); while the port cannot be bound it retries about once a
  // second, telling the listen reporter only the first failure.
  void start();
  // Tells the worker to stop, wakes it at once and waits for it to end; an
  // answer being sent is abandoned. Returns at once when no worker runs.
  void stop();

  // Port index (0 or 1) of the most recently served Port page, kept by the
  // page builder; 0 at creation.
  std::atomic<int32_t>& LastPortShown() { return last_port_shown_; }

  // True between start() and stop().
  bool running() const { return running_.load(); }

  // What one run of the worker uses, fixed at its start.
  struct RunSettings {
    std::string name;
    int32_t port = 80;
    std::string address;
    ListenReporter reporter;
    AnswerBuilder answer_builder;
    bool counts_accesses = true;
  };

 private:
  void ServeLoop(const RunSettings& run, int wake_fd);
  // Ends the worker, if any, and waits for it. Called with control_mutex_ held.
  void StopWorker();

  std::atomic<int32_t> last_port_shown_{0};
  const BodyBuilder body_builder_;
  const ServerLimits limits_;

  std::mutex control_mutex_;  // serialises the calls below and guards what follows
  std::string name_;
  int32_t port_ = 80;
  ListenReporter listen_reporter_;
  AnswerBuilder answer_builder_;
  std::string address_;
  bool counts_accesses_ = true;
  std::thread worker_;
  int wake_fd_ = -1;  // eventfd the worker polls beside its sockets

  std::atomic<bool> running_{false};
};

}  // namespace quivera
