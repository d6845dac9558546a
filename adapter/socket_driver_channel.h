// The driver channel of this platform: an adapter's driver device path such
// as "\Device\korap1" is reached as the Unix-domain stream socket
// <device dir>/korap1, served by the station-emulator program (or by anything
// else that speaks the exchange below).
//
// The exchange, one request at a time on a connection, all words unsigned
// 32-bit little-endian:
//
//   request:  oid, length, then 'length' bytes: the caller's buffer as it
//             stands (management requests carry their request record there)
//   reply:    status (0 success, 1 failure), bytes returned, count, then
//             'count' bytes: the buffer as the driver left it
//
// The driver answers into the caller's buffer only, so a reply is valid only
// when status is 0 or 1, 'bytes returned' and 'count' are at most the request
// length, and a failure carries count 0. Anything else breaks the exchange:
// the request fails and the connection is closed. A success whose count is
// below the request length brought only part of the buffer: the request
// fails, the connection stays. 'length' is at most
// kMaxWireLength on either side.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "adapter/driver_channel.h"

namespace quivera {

// Largest buffer one request may carry (the firmware image, 0x40004 bytes,
// is the largest the program sends).
inline constexpr size_t kMaxWireLength = 1u << 20;
inline constexpr size_t kWireRequestHeader = 8;
inline constexpr size_t kWireReplyHeader = 12;
inline constexpr const char* kDefaultDeviceDir = "/dev";

// The socket name of a driver device path: the text after the last '\' or
// '/' ("\Device\korap1" -> "korap1"). Empty when there is none, or when it is
// "." or "..".
std::string DeviceSocketName(const std::string& device_path);

class SocketDriverChannel : public DriverChannel {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{10000};
  // While the channel rests, how long its background connection waits for
  // the driver's answer before trying a new connection.
  static constexpr std::chrono::milliseconds kProbePatience{2000};

  // Connects to the socket at 'socket_path'. Returns nullptr when the path
  // does not exist, is too long for a socket address, or refuses the
  // connection. 'timeout' bounds each whole request (send and reply).
  static std::unique_ptr<SocketDriverChannel> Connect(
      const std::string& socket_path, std::chrono::milliseconds timeout = kDefaultTimeout);

  ~SocketDriverChannel() override;  // ends the background connection, if any, at once
  SocketDriverChannel(const SocketDriverChannel&) = delete;
  SocketDriverChannel& operator=(const SocketDriverChannel&) = delete;

  // As DriverChannel::Request. Fails (1) when 'len' exceeds kMaxWireLength,
  // when the peer breaks the exchange or closes the connection, when a
  // successful reply brings fewer than 'len' bytes, when the reply does not
  // arrive within the timeout, or when the calling thread is asked to stop
  // (ThreadStopScope) while it waits; never raises SIGPIPE. After a broken
  // exchange the connection is closed and the next request connects again.
  //
  // A driver that let a request time out is likely to let the next ones time
  // out too: the channel then rests. While it rests every request fails at
  // once, and a connection of its own in the background sends a harmless
  // request until the driver answers; the first request after that answer
  // goes out on that connection as usual. 'buffer' receives at most 'len'
  // bytes.
  int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) override;

  const std::string& socket_path() const { return path_; }
  // True from a timed-out request until the driver answered in the background.
  bool resting() const { return resting_; }
  // While the channel rests.
  bool NotAnswering() const override { return resting_; }

 private:
  SocketDriverChannel(std::string path, std::chrono::milliseconds timeout, int fd);
  void Close();
  // Starts resting: the background connection tries until the driver answers.
  void Rest();
  // Ends resting when the driver has answered in the background; false while
  // it has not.
  bool Wake();
  void StopProbe();
  void Probe();

  std::string path_;
  std::chrono::milliseconds timeout_;
  int fd_ = -1;

  bool resting_ = false;
  std::thread probe_;
  std::atomic<bool> probing_{false};  // the background connection goes on while true
  std::mutex probe_mutex_;            // guards answered_fd_
  int answered_fd_ = -1;              // the background connection, once the driver answered on it
};

// The opener for discovery: maps a driver device path to
// <device_dir>/<socket name> and connects; nullptr when the candidate cannot
// be opened (it is then skipped).
ChannelOpener MakeSocketChannelOpener(std::string device_dir = kDefaultDeviceDir);

}  // namespace quivera
