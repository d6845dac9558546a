// One opened adapter and its numbered item interface. Two variants exist: the
// DriverAdapter, which talks to the driver through a DriverChannel, and the
// SimulatedAdapter of test mode. Operations return 0 for success and 1 for
// failure and never show anything; callers decide what the user sees.
#pragma once

#include <cstddef>
#include <cstdint>

#include "adapter/management_item.h"

namespace quivera {

// The four actions of Control and the adapter control values they send.
enum ControlAction : int {
  kControlAction1 = 0,   // control value 1 (driver's own meaning, unused here)
  kControlAction2 = 1,   // control value 2 (driver's own meaning, unused here)
  kControlReset = 2,     // control value 4: resets the adapter
  kControlPostLoad = 3,  // control value 0: sent after a firmware image was loaded
};

// What CheckDriverVersion returns for a driver that gave no answer in time.
inline constexpr int kDriverNotAnswering = 2;

// Size of the buffer FirmwareLoad hands to the driver: 4 bytes ahead of a
// 256 KiB image area.
inline constexpr size_t kFirmwareBufferSize = 0x40004;

class Adapter {
 public:
  virtual ~Adapter() = default;

  // Reads one item into 'buffer'. '*length' holds the buffer size on entry
  // (4 for plain numbers, 8 for 64-bit counters) and, where the item has a
  // length of its own (addresses, texts, lists, blocks), its length on return.
  // 'index' selects the port (0, 1) for per-port items and the entry (0..3)
  // for ErrorLogEntry; other items ignore it. Returns 0 when the value was
  // delivered; 1 when it is not available (unknown item, failed request, index
  // or length out of range), leaving 'buffer' untouched. Never writes past
  // '*length' bytes of 'buffer'.
  virtual int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) = 0;

  // Sets one of the settable items from 'length' bytes of 'buffer'. Returns 0
  // on success, 1 when the item is not settable here, the value is refused or
  // the request failed.
  virtual int SetItem(ManagementItem item, const void* buffer, size_t length, int index = 0) = 0;

  // Firmware load steps; 0 success, 1 failure. FirmwareLoad takes exactly
  // kFirmwareBufferSize bytes (any other length returns 1 without a request).
  virtual int FirmwarePrepare() { return 1; }
  virtual int FirmwareLoad(void* /*buffer*/, size_t /*length*/) { return 1; }
  virtual int FirmwareCommit() { return 1; }
  // 0 when the status request failed, else 1, 2 or 3.
  virtual int FirmwareStatus() { return 0; }
  // Sends the control value of 'action' (a ControlAction); any other action
  // returns 1 without a request.
  virtual int Control(int /*action*/) { return 1; }
  // 1 when the driver is too old (or refused the question), 2 when it gave
  // no answer in time, else 0.
  virtual int CheckDriverVersion() { return 0; }
  // Reads and, once, initialises the adapter's station record. 0/1.
  virtual int InitStationRecord() { return 1; }
  // Starts a refresh cycle: cached replies are fetched again on their next read.
  virtual void BeginRefresh() {}
  // Takes a performance sample over the last 'refresh_rate' seconds (items
  // 90..92 are computed from the samples; a rate below 1 counts as 1).
  virtual void SamplePerformance(int /*refresh_rate*/) {}
};

}  // namespace quivera
