// The emulated station behind one driver device: it answers the driver
// request set (standard OIDs, vendor OIDs, management requests) in the reply
// layouts the adapter layer reads, so that every DriverAdapter path runs for
// real without hardware. Its content is settable value by value.
//
// A Station is not synchronised: one thread at a time (the station-emulator
// program serves all its endpoints from one thread; in-process tests reach it
// through one DriverChannel, behind the AdapterList lock).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quivera {

class Station {
 public:
  // The size of every management reply buffer the driver answers into.
  static constexpr size_t kBlockSize = 512;

  // A station with empty content: every management reply block zeroed, no
  // OID reply stored (such OIDs fail), driver version 0x02000000.
  Station();

  // --- content ---------------------------------------------------------------
  // The reply of a standard or vendor OID (for vendor OIDs with a fixed reply
  // such as 0xFF00000C firmware status).
  void SetOid(uint32_t oid, std::vector<uint8_t> reply);
  void SetOidU32(uint32_t oid, uint32_t value);
  // Removes a stored OID reply (the OID then fails).
  void ClearOid(uint32_t oid);
  // Bytes at 'offset' of the reply block of management request 'code'
  // (4, 5, 12, 16, 20, 27). Returns 0, or 1 when the code is not a cached
  // query or the bytes would not fit in the block.
  int SetBlock(int code, size_t offset, const std::vector<uint8_t>& bytes);
  int SetBlockU32(int code, size_t offset, uint32_t value);
  // The same for error-log entry 'entry' (0..3) of request code 10.
  int SetErrorLog(int entry, size_t offset, const std::vector<uint8_t>& bytes);
  // Presets the station record: 'bytes' from its start, the rest zero, as a
  // fresh station holds it. Returns 0, or 1 when 'bytes' is longer than the
  // record (380 bytes).
  int SetStationRecord(const std::vector<uint8_t>& bytes);
  // Requests of 'oid' / management requests of 'code' fail while set.
  void FailOid(uint32_t oid, bool fail = true);
  void FailBlock(int code, bool fail = true);

  // Called before each request is answered with the OID and, for management
  // requests, the request code (else -1). A live-looking station grows its
  // counters here.
  std::function<void(Station&, uint32_t oid, int code)> before_request;

  // --- the driver side --------------------------------------------------------
  // Answers one request exactly as DriverChannel::Request describes: reads
  // the caller's 'len' bytes, answers into them, stores the reply size in
  // *returned, returns 0 on success and 1 on failure.
  //
  // What the requests do to the content:
  // - Management requests need a 512-byte buffer. Queries copy their whole
  //   block (header words included) and report the code's reply length.
  // - Code 17 writes each attribute at its MIB offset; port attributes go to
  //   both ports (the request names none). An unknown attribute fails the
  //   request and applies nothing.
  // - Code 9 erases the error log from each entry's status word on (0xFF).
  //   Codes 19 / 26 put the data after their code word at offset 20 of the
  //   code-20 / code-27 reply (as far as the 512-byte reply reaches).
  // - Firmware: step 2 keeps the image (its length word at most 256 KiB and
  //   within the buffer); step 3 needs a loaded image. The status reply is a
  //   stored 0xFF00000C reply if any, else board revision 3 (bits 24..25),
  //   before and after a commit alike: the board does not change. Whether an
  //   image was committed shows in FirmwareCommitted() and the request log.
  // - Control accepts the values 0, 1, 2 and 4.
  int Handle(uint32_t oid, void* buffer, size_t len, size_t* returned);

  // --- inspection (tests, logs) ------------------------------------------------
  const std::vector<uint8_t>& Block(int code) const;  // empty vector for unknown codes
  const std::vector<uint8_t>& ErrorLog(int entry) const;
  uint32_t BlockU32(int code, size_t offset) const;   // 0 outside the block
  // The last adapter control value received (-1 when none).
  int64_t LastControlValue() const { return last_control_; }
  // The station record (380 bytes) as the driver holds it.
  const std::vector<uint8_t>& StationRecord() const { return station_record_; }
  // The firmware image handed over by the last firmware step 2, and whether
  // step 3 committed it.
  const std::vector<uint8_t>& LoadedFirmware() const { return firmware_; }
  bool FirmwareCommitted() const { return firmware_committed_; }
  // The last management set-attribute request's entries {id, value}.
  const std::vector<std::pair<uint32_t, uint32_t>>& LastSetAttributes() const {
    return last_set_;
  }

 private:
  std::map<int, std::vector<uint8_t>> blocks_;
  std::array<std::vector<uint8_t>, 4> error_log_;
  std::map<uint32_t, std::vector<uint8_t>> oids_;
  std::set<uint32_t> failing_oids_;
  std::set<int> failing_codes_;
  std::vector<uint8_t> station_record_;
  std::vector<uint8_t> firmware_;
  bool firmware_loaded_ = false;
  bool firmware_committed_ = false;
  int64_t last_control_ = -1;
  std::vector<std::pair<uint32_t, uint32_t>> last_set_;

  int HandleManagement(uint8_t* buffer, size_t len, size_t* returned);
  int HandleSetAttributes(const uint8_t* buffer, uint32_t param_length);
  int HandleControl(uint8_t* buffer, size_t len, size_t* returned);
  int HandleStationRecord(uint8_t* buffer, size_t len, size_t* returned);
  int HandleFirmware(uint32_t oid, uint8_t* buffer, size_t len, size_t* returned);
  int HandleStored(uint32_t oid, uint8_t* buffer, size_t len, size_t* returned);
};

}  // namespace quivera
