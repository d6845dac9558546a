// The driver request set: the object identifiers the program sends, the
// vendor management request record that travels in the output buffer of
// ManagementQueryCode, the set-attribute and station records, and the small
// rules that turn driver replies into results. Every word on the wire is a
// little-endian u32; the helpers here read and write them byte by byte so the
// records are the same on any host.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "adapter/little_endian.h"

namespace quivera {

// --- object identifiers ------------------------------------------------------

// The one device I/O control code every request travels with (the statistics
// query). Kept for the record: our channels carry the OID only.
inline constexpr uint32_t kIoctlQueryGlobalStats = 0x00170002;

// Standard statistics OIDs; the reply is the standard value.
inline constexpr uint32_t kOidFddiLongPermanentAddr = 0x03010101;
inline constexpr uint32_t kOidFddiLongCurrentAddr = 0x03010102;
inline constexpr uint32_t kOidFddiLongMulticastList = 0x03010103;
inline constexpr uint32_t kOidGenVendorId = 0x0001010C;
inline constexpr uint32_t kOidGenVendorDescription = 0x0001010D;
inline constexpr uint32_t kOidGenCurrentPacketFilter = 0x0001010E;
inline constexpr uint32_t kOidGenMaximumTotalSize = 0x00010111;
inline constexpr uint32_t kOidGenXmitOk = 0x00020101;
inline constexpr uint32_t kOidGenRcvOk = 0x00020102;
inline constexpr uint32_t kOidGenXmitError = 0x00020103;
inline constexpr uint32_t kOidGenRcvError = 0x00020104;
inline constexpr uint32_t kOidGenRcvNoBuffer = 0x00020105;
inline constexpr uint32_t kOidGenDirectedBytesXmit = 0x00020201;
inline constexpr uint32_t kOidGenDirectedFramesXmit = 0x00020202;
inline constexpr uint32_t kOidGenMulticastBytesXmit = 0x00020203;
inline constexpr uint32_t kOidGenMulticastFramesXmit = 0x00020204;
inline constexpr uint32_t kOidGenBroadcastBytesXmit = 0x00020205;
inline constexpr uint32_t kOidGenBroadcastFramesXmit = 0x00020206;
inline constexpr uint32_t kOidGenDirectedBytesRcv = 0x00020207;
inline constexpr uint32_t kOidGenDirectedFramesRcv = 0x00020208;
inline constexpr uint32_t kOidGenMulticastBytesRcv = 0x00020209;
inline constexpr uint32_t kOidGenMulticastFramesRcv = 0x0002020A;
inline constexpr uint32_t kOidGenBroadcastBytesRcv = 0x0002020B;
inline constexpr uint32_t kOidGenBroadcastFramesRcv = 0x0002020C;
inline constexpr uint32_t kOidGenRcvCrcError = 0x0002020D;

// Vendor OIDs.
inline constexpr uint32_t kOidManagementQuery = 0xFF000001;  // ManagementQueryCode
inline constexpr uint32_t kOidAdapterControl = 0xFF000004;
inline constexpr uint32_t kOidStationRecord = 0xFF000005;
inline constexpr uint32_t kOidFirmwarePrepare = 0xFF000009;
inline constexpr uint32_t kOidFirmwareLoad = 0xFF00000A;
inline constexpr uint32_t kOidFirmwareCommit = 0xFF00000B;
inline constexpr uint32_t kOidFirmwareStatus = 0xFF00000C;

// The vendor-id reply's top byte must be at least this for a usable driver.
inline constexpr uint32_t kMinimumDriverVersion = 0x02000000;

// --- management requests -----------------------------------------------------

// The output buffer handed to the driver with kOidManagementQuery.
inline constexpr size_t kManagementBufferSize = 512;
// The size of the adapter's own reply blocks (the driver fills the first 512).
inline constexpr size_t kReplyBlockSize = 520;
// Offset of the first parameter word (after paramLength, replyLength, code).
inline constexpr size_t kManagementHeaderSize = 12;

enum ManagementCode : uint32_t {
  kCodeStatus = 4,              // StatusBlock
  kCodeCounters = 5,            // CounterBlock
  kCodeClearErrorLog = 9,       // action
  kCodeErrorLog = 10,           // ErrorLogBlock, with entry index
  kCodeLink = 12,               // LinkBlock
  kCodeMib = 16,                // MibBlock
  kCodeSetAttributes = 17,      // ManagementSetCode
  kCodeWriteDriverParams = 19,  // 504-byte caller block
  kCodeDriverParams = 20,       // DriverParamBlock
  kCodeWriteSerialNumber = 26,  // 132-byte caller block
  kCodeSerialNumber = 27,       // SerialNumberBlock
};

// What a request code puts in its header. For code 17, paramLength is the
// single-attribute form (the path-timer form uses kPathTimersParamLength).
struct RequestShape {
  uint32_t code;
  uint32_t paramLength;
  uint32_t replyLength;
};

// The shape of 'code', or nullptr for a code outside the request set.
const RequestShape* ShapeOf(uint32_t code);

// The caller-block lengths of the two flash writes.
inline constexpr size_t kDriverParamsWriteLength = 504;
inline constexpr size_t kSerialNumberWriteLength = 132;
inline constexpr uint32_t kSingleAttributeParamLength = 32;
inline constexpr uint32_t kPathTimersParamLength = 64;
inline constexpr uint32_t kSetReplyLength = 12;

// The management request record: a header of three words followed by the
// request's parameter words, 512 bytes in all.
struct ManagementRequest {
  static constexpr size_t kParameterWords = (kManagementBufferSize - kManagementHeaderSize) / 4;

  uint32_t paramLength = 0;
  uint32_t replyLength = 0;
  uint32_t requestCode = 0;
  std::array<uint32_t, kParameterWords> parameters{};  // from offset 12 on

  // Writes the 512-byte little-endian image into 'buffer' (512 bytes).
  void WriteTo(uint8_t* buffer) const;
  // Reads a record from a 512-byte image.
  static ManagementRequest ReadFrom(const uint8_t* buffer);
};

// A plain query (or action) of 'code' with its own shape; for code 10 the
// entry index goes into the first parameter word. Codes outside the request
// set give a record whose requestCode is 'code' and lengths 4 / 12.
ManagementRequest MakeQuery(uint32_t code, uint32_t index = 0);

// The ANSI FDDI SMT MIB attribute identifiers the program sets.
enum AttributeId : uint32_t {
  kAttrSmtConnectionPolicy = 0x101B,
  kAttrPathTvxLowerBound = 0x3215,
  kAttrPathTMaxLowerBound = 0x3216,
  kAttrPathMaxTReq = 0x3217,
  kAttrPortLerCutoff = 0x403A,
  kAttrPortLerAlarm = 0x403B,
};

// A code-17 set of one attribute: paramLength 32, the entry {id, value, 0} at
// offsets 12..23 and zero words up to offset 35. No port index travels.
ManagementRequest MakeSetAttribute(uint32_t attribute, uint32_t value);

// The code-17 path-timer set: paramLength 64 and three entries in the order
// TVX lower bound, T-Max lower bound, Max T-Req (offsets 12..47).
ManagementRequest MakeSetPathTimers(uint32_t tvx_lower_bound, uint32_t t_max_lower_bound,
                                    uint32_t max_t_req);

// --- station record ----------------------------------------------------------

// The 380-byte record exchanged with kOidStationRecord. Beyond the first 14
// bytes it is the driver's; the program passes it back unchanged.
struct StationIdRecord {
  static constexpr size_t kSize = 380;
  static constexpr size_t kAddressOffset = 8;
  static constexpr uint32_t kRead = 0;
  static constexpr uint32_t kWrite = 1;

  std::array<uint8_t, kSize> bytes{};

  uint32_t Direction() const { return LoadU32(&bytes[0]); }
  void SetDirection(uint32_t v) { StoreU32(&bytes[0], v); }
  uint32_t Initialised() const { return LoadU32(&bytes[4]); }
  void SetInitialised(uint32_t v) { StoreU32(&bytes[4], v); }
  uint8_t* Address() { return &bytes[kAddressOffset]; }  // 6 bytes
};

// --- rules -------------------------------------------------------------------

// The firmware status reply's bits 24..25: 1 gives 1, 2 gives 2, else 3.
int FirmwareStatusFromReply(uint32_t reply);

// The adapter control value of a ControlAction (0..3 -> 1, 2, 4, 0). Returns 0
// and stores the value, or 1 for any other action (*value untouched).
int ControlValueFor(int action, uint32_t* value);

// True when a driver is too old to use: its vendor-id query failed or the
// reply's top byte is below 2.
bool DriverTooOld(bool query_ok, uint32_t vendor_id);

}  // namespace quivera
