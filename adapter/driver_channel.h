// The seam between the program and an adapter's driver: one synchronous
// statistics query request. Everything that talks to a driver goes through it,
// so the socket channel (the station emulator), the in-process emulator and
// test doubles are interchangeable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quivera {

class DriverChannel {
 public:
  virtual ~DriverChannel() = default;

  // Sends one request for 'oid'. The driver reads the caller's 'len' bytes of
  // 'buffer' (management requests carry their request record there) and
  // answers into the same buffer, at most 'len' bytes. On success stores the
  // reply size in *returned and returns 0. On failure returns 1 and stores 0
  // in *returned; 'buffer' is then unspecified. 'returned' may not be null.
  // Safe to call from one thread at a time.
  virtual int Request(uint32_t oid, void* buffer, size_t len, size_t* returned) = 0;

  // True when the last request failed because the driver gave no answer in
  // time (it is stalled), rather than refusing the request or breaking the
  // exchange; false again once the driver answers. Channels that cannot tell
  // say false.
  virtual bool NotAnswering() const { return false; }
};

// Opens the driver behind a device path such as "\Device\korap1". Returns
// nullptr when the device cannot be opened.
using ChannelOpener =
    std::function<std::unique_ptr<DriverChannel>(const std::string& device_path)>;

}  // namespace quivera
