// The serving loop of the station emulator: one Unix-domain socket endpoint
// per emulated driver device, all served by the one thread that calls Run
// (a Station is not synchronised). Each connection carries requests one at a
// time in the exchange described in adapter/socket_driver_channel.h.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "emulator/station.h"

namespace quivera {

class EmulatorServer {
 public:
  // Connections served at once; beyond it new ones wait in the backlog.
  static constexpr size_t kMaxConnections = 64;
  // A connection that leaves a request or a reply half-way for this long is
  // dropped, so a stalled peer cannot hold a slot for ever.
  static constexpr std::chrono::milliseconds kStallLimit{10000};
  // A connection that has not sent a request this long after it was made is
  // closed by default, so silent peers cannot keep later clients out. A
  // connection that was answered once may then wait between requests as long
  // as it likes: the program's channel keeps its connection open.
  static constexpr std::chrono::milliseconds kSilentLimit{10000};

  EmulatorServer();
  ~EmulatorServer();  // closes every connection and removes the endpoints
  EmulatorServer(const EmulatorServer&) = delete;
  EmulatorServer& operator=(const EmulatorServer&) = delete;

  // Serves 'station' (not owned; it must outlive the server) on the socket
  // '<dir>/<device>'; call before Run. The socket appears complete (already listening) or not
  // at all. A stale socket file that nobody listens on is replaced; a socket
  // that another program serves, or a file that is not a socket, is left alone
  // and refused. Returns 0, or 1 with a message in *error.
  int AddEndpoint(const std::string& dir, const std::string& device, Station* station,
                  std::string* error);

  // How long a new connection may stay silent (kSilentLimit unless set);
  // call before Run.
  void SetSilentLimit(std::chrono::milliseconds limit) { silent_limit_ = limit; }

  // How long each request takes before its answer is sent (0 unless set),
  // as a slow driver's would; the server answers nothing else meanwhile.
  void SetRequestDelay(std::chrono::milliseconds delay) { request_delay_ = delay; }

  // Where received requests are logged, one line each (null: no log). Not owned.
  void SetLog(std::FILE* log) { log_ = log; }

  // Serves until a stop is requested. Returns 0, or 1 when waiting failed.
  int Run();

  // Asks Run to return (also when called before Run starts). Async-signal-safe.
  void RequestStop();
  // The descriptor RequestStop writes to, for a signal handler.
  int stop_fd() const { return stop_write_; }

  // Closes the connections and listeners and removes the endpoints' socket
  // files (only files that are still the ones this server created). Also done
  // by the destructor. Not while Run is running.
  void RemoveEndpoints();

  size_t endpoint_count() const { return endpoints_.size(); }

 private:
  struct Endpoint {
    std::string device;
    std::string path;
    int fd = -1;
    dev_t file_device = 0;
    ino_t file_inode = 0;
    Station* station = nullptr;
  };
  struct Connection;

  void Accept(size_t endpoint);
  // Reads or writes what is ready; false when the connection is finished.
  bool Service(Connection& connection, short revents);
  void Answer(Connection& connection);
  bool Flush(Connection& connection);

  std::vector<Endpoint> endpoints_;
  std::vector<std::unique_ptr<Connection>> connections_;
  std::FILE* log_ = nullptr;
  std::chrono::milliseconds request_delay_{0};
  std::chrono::milliseconds silent_limit_ = kSilentLimit;
  int stop_read_ = -1;
  int stop_write_ = -1;
};

}  // namespace quivera
