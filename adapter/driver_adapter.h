// The adapter that talks to a driver: it builds the management requests,
// keeps one reply block per cached query so that a refresh cycle sends at
// most one request per block however many values are read, and serves every
// numbered item from its block offset or from a standard query.
//
// Not synchronised: callers serialise (the AdapterList holds its lock around
// every operation).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "adapter/adapter.h"
#include "adapter/driver_channel.h"
#include "adapter/driver_item_table.h"
#include "adapter/management_request.h"
#include "adapter/performance_sample.h"

namespace quivera {

class DriverAdapter : public Adapter {
 public:
  // 'channel' is the opened driver (may not be null); 'dos_name' the name the
  // adapter was reached under ("QVAdapterA"); 'device_path' the driver device
  // it was opened through ("\Device\korap1"), which DeviceName returns.
  DriverAdapter(std::unique_ptr<DriverChannel> channel, std::string dos_name,
                std::string device_path);

  // GetItem copies a block value only when it fits the caller's buffer
  // (u32 4 bytes, u64 8 as two words high first, addresses 6) and sets
  // *length to its size; per-port items take index 0 or 1. ErrorLogEntry,
  // DriverParameters and SerialNumber copy *length (at most 520) bytes from
  // the start of their block. Standard items return the driver's reply and
  // its length; text items (DeviceName, VendorDescription) always end with a
  // NUL inside the caller's buffer; an address shorter than 6 bytes or a
  // number shorter than its word is a failed read. Any length or index that
  // would read outside a block or write past the buffer returns 1 without a
  // request.
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) override;
  // Marks the MIB block stale, then sends the item's set request (see the
  // settable items in adapter.h). Values are u32 in host order; PathTimers
  // takes three (TVX lower bound, T-Max lower bound, Max T-Req); the port
  // attributes ignore 'index' (the request carries no port).
  int SetItem(ManagementItem item, const void* buffer, size_t length, int index = 0) override;

  int FirmwarePrepare() override;
  int FirmwareLoad(void* buffer, size_t length) override;
  int FirmwareCommit() override;
  int FirmwareStatus() override;
  int Control(int action) override;
  // 0 without a request while "AnyOldDriver" is set.
  int CheckDriverVersion() override;
  int InitStationRecord() override;
  void BeginRefresh() override;
  void SamplePerformance(int refresh_rate) override;

  // --- the request operations behind the items ---------------------------------
  // Sends the standard query of 'item' with '*length' as the reply size and
  // stores the bytes returned in '*length'. DeviceName copies the device
  // path instead. 1 for an item without a standard query or a failed request
  // (the buffer is then untouched).
  int QueryStandard(ManagementItem item, void* buffer, size_t* length);
  // Sends a caller-built management request and marks the MIB block stale.
  int SendManagementRequest(const ManagementRequest& request);
  // Code 10: sent on every call; 1 for an entry outside 0..3 (no request).
  int FetchErrorLogBlock(int entry);
  // Code 9, and the flash writes 19 / 26 (the block must be exactly 504 /
  // 132 bytes, else 1 without a request).
  int ClearErrorLog();
  int WriteDriverParameters(const void* block, size_t length);
  int WriteSerialNumber(const void* block, size_t length);

  const std::string& DosName() const { return dos_name_; }
  const std::string& DevicePath() const { return device_path_; }

 private:
  struct ReplyBlock {
    std::array<uint8_t, kReplyBlockSize> bytes{};
    bool fetched = false;
    int outcome = 0;
  };
  enum BlockId { kStatus, kLink, kMib, kCounter, kDriverParams, kSerialNumber, kBlocks };

  int Send(uint32_t oid, void* buffer, size_t len, size_t* returned);
  int SendInto(ReplyBlock& block, uint32_t code, uint32_t index, size_t* returned);
  // The cached queries (codes 4, 12, 16, 5, 20 and 27): at most one request
  // per refresh cycle. Every call of a cycle returns the outcome of its one
  // request, so after a failure no reader of the cycle takes the block (which
  // keeps the values of the last successful fetch) for this cycle's reply.
  int FetchCached(BlockId id);

  // The steps of GetItem, one per kind of source.
  int ReadErrorLogEntry(int entry, void* buffer, size_t length);
  int ReadWholeBlock(ItemFrom source, void* buffer, size_t length);
  int ReadBlockValue(const DriverItemSource& src, void* buffer, size_t* length, int index);
  // Where a block value of 'src' for port 'index' starts in its block; 1 when
  // it would lie outside the block or not fit 'length' bytes.
  static int BlockValueOffset(const DriverItemSource& src, int index, size_t length,
                              size_t* offset);
  static BlockId CachedBlockOf(ItemFrom source);  // for every source but the error log
  static uint32_t CachedBlockCode(BlockId id);
  // Writes the value at 'at' in the caller's form; returns its size.
  static size_t DeliverBlockValue(ItemShape shape, const uint8_t* at, void* buffer);
  int WriteFlash(uint32_t code, const void* block, size_t length, size_t expected);
  int CopyFromBlock(const ReplyBlock& block, void* buffer, size_t length) const;

  std::unique_ptr<DriverChannel> channel_;
  std::string dos_name_;
  std::string device_path_;
  std::array<ReplyBlock, kBlocks> blocks_{};
  std::array<ReplyBlock, kErrorLogEntries> error_log_{};
  std::array<uint8_t, kManagementBufferSize> request_{};  // codes 9, 19, 26
  PerformanceSample performance_;
};

}  // namespace quivera
