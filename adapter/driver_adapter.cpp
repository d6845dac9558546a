// The driver-backed adapter: the cached reply blocks, the item reads over
// the item table, and the request operations.
#include "adapter/driver_adapter.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "adapter/driver_item_table.h"

namespace quivera {
namespace {

using I = ManagementItem;

// The bytes a block value occupies in the block and in the caller's buffer.
struct ValueSize {
  size_t in_block;
  size_t delivered;
};

ValueSize SizeOf(ItemShape shape) {
  switch (shape) {
    case ItemShape::kU64:
      return {8, 8};
    case ItemShape::kAddress:
      return {6, 6};
    case ItemShape::kPortSum:
      return {8, 4};
    default:
      return {4, 4};
  }
}

// The longest standard reply the adapter asks for, whatever buffer a caller
// offers (a multicast list of more than ten thousand addresses).
constexpr size_t kMaxStandardReply = 65536;

constexpr size_t kWordSize = 4;

// Copies 'text' and its NUL when they fit in '*length' bytes; *length
// receives the size copied, NUL included.
int CopyText(const std::string& text, void* buffer, size_t* length) {
  if (text.size() >= *length) return 1;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *length = text.size() + 1;
  return 0;
}

// The fewest bytes a standard reply of 'shape' must bring to be a value, in
// a reply buffer of 'room' bytes.
size_t LeastStandardReply(ItemShape shape, size_t room) {
  switch (shape) {
    case ItemShape::kAddress:
      return 6;
    case ItemShape::kU32:
      return std::min(room, kWordSize);
    default:
      return 0;  // lists and texts: as long as the driver has them
  }
}

uint32_t ReadHostU32(const void* buffer) {
  uint32_t v = 0;
  std::memcpy(&v, buffer, sizeof v);
  return v;
}

}  // namespace

DriverAdapter::DriverAdapter(std::unique_ptr<DriverChannel> channel, std::string dos_name,
                             std::string device_path)
    : channel_(std::move(channel)),
      dos_name_(std::move(dos_name)),
      device_path_(std::move(device_path)) {}

int DriverAdapter::GetItem(ManagementItem item, void* buffer, size_t* length, int index) {
  const DriverItemSource* src = FindDriverItemSource(item);
  if (src == nullptr || buffer == nullptr || length == nullptr) return 1;

  switch (src->source) {
    case ItemFrom::kStandard:
    case ItemFrom::kDeviceName:
      return QueryStandard(item, buffer, length);
    case ItemFrom::kComputed:
      return performance_.Read(item, buffer, length);
    case ItemFrom::kErrorLog:
      return ReadErrorLogEntry(index, buffer, *length);
    case ItemFrom::kDriverParams:
    case ItemFrom::kSerialNumber:
      return ReadWholeBlock(src->source, buffer, *length);
    case ItemFrom::kStationRecord: {
      // Read direction only: the record is never written from here.
      if (*length < 6) return 1;
      StationIdRecord record;
      record.SetDirection(StationIdRecord::kRead);
      size_t returned = 0;
      if (Send(kOidStationRecord, record.bytes.data(), record.bytes.size(), &returned) != 0) {
        return 1;
      }
      std::memcpy(buffer, record.Address(), 6);
      *length = 6;
      return 0;
    }
    default:
      return ReadBlockValue(*src, buffer, length, index);
  }
}

int DriverAdapter::ReadErrorLogEntry(int entry, void* buffer, size_t length) {
  if (entry < 0 || entry >= kErrorLogEntries || length > kReplyBlockSize) return 1;
  if (FetchErrorLogBlock(entry) != 0) return 1;
  return CopyFromBlock(error_log_[static_cast<size_t>(entry)], buffer, length);
}

int DriverAdapter::ReadWholeBlock(ItemFrom source, void* buffer, size_t length) {
  if (length > kReplyBlockSize) return 1;
  const BlockId id = CachedBlockOf(source);
  if (FetchCached(id) != 0) return 1;
  return CopyFromBlock(blocks_[id], buffer, length);
}

int DriverAdapter::ReadBlockValue(const DriverItemSource& src, void* buffer, size_t* length,
                                  int index) {
  size_t offset = 0;
  if (BlockValueOffset(src, index, *length, &offset) != 0) return 1;
  const BlockId id = CachedBlockOf(src.source);
  if (FetchCached(id) != 0) return 1;
  *length = DeliverBlockValue(src.shape, blocks_[id].bytes.data() + offset, buffer);
  return 0;
}

int DriverAdapter::BlockValueOffset(const DriverItemSource& src, int index, size_t length,
                                    size_t* offset) {
  const ValueSize size = SizeOf(src.shape);
  size_t at = src.where;
  if (src.per_port) {
    if (index < 0 || index >= kMaxPorts) return 1;
    const size_t stride = src.shape == ItemShape::kU64 ? 8 : kWordSize;
    at += static_cast<size_t>(index) * stride;
  }
  if (at + size.in_block > kReplyBlockSize || length < size.delivered) return 1;
  *offset = at;
  return 0;
}

DriverAdapter::BlockId DriverAdapter::CachedBlockOf(ItemFrom source) {
  switch (source) {
    case ItemFrom::kStatus:
      return kStatus;
    case ItemFrom::kLink:
      return kLink;
    case ItemFrom::kCounter:
      return kCounter;
    case ItemFrom::kDriverParams:
      return kDriverParams;
    case ItemFrom::kSerialNumber:
      return kSerialNumber;
    default:
      return kMib;
  }
}

uint32_t DriverAdapter::CachedBlockCode(BlockId id) {
  switch (id) {
    case kStatus:
      return kCodeStatus;
    case kLink:
      return kCodeLink;
    case kCounter:
      return kCodeCounters;
    case kDriverParams:
      return kCodeDriverParams;
    case kSerialNumber:
      return kCodeSerialNumber;
    default:
      return kCodeMib;
  }
}

size_t DriverAdapter::DeliverBlockValue(ItemShape shape, const uint8_t* at, void* buffer) {
  switch (shape) {
    case ItemShape::kU64: {
      const uint32_t words[2] = {LoadU32(at), LoadU32(at + kWordSize)};  // high word first
      std::memcpy(buffer, words, sizeof words);
      break;
    }
    case ItemShape::kAddress:
      std::memcpy(buffer, at, SizeOf(shape).delivered);
      break;
    case ItemShape::kPortSum: {
      const uint32_t sum = LoadU32(at) + LoadU32(at + kWordSize);
      std::memcpy(buffer, &sum, sizeof sum);
      break;
    }
    default: {
      const uint32_t value = LoadU32(at);
      std::memcpy(buffer, &value, sizeof value);
      break;
    }
  }
  return SizeOf(shape).delivered;
}

int DriverAdapter::SetItem(ManagementItem item, const void* buffer, size_t length, int) {
  blocks_[kMib].fetched = false;
  const bool has_word = buffer != nullptr && length >= kWordSize;
  switch (item) {
    case I::SmtConnectionPolicy:
      if (!has_word) return 1;
      return SendManagementRequest(MakeSetAttribute(kAttrSmtConnectionPolicy, ReadHostU32(buffer)));
    case I::PathTimers: {
      if (buffer == nullptr || length < 3 * kWordSize) return 1;
      const auto* words = static_cast<const uint8_t*>(buffer);
      return SendManagementRequest(MakeSetPathTimers(
          ReadHostU32(words), ReadHostU32(words + kWordSize), ReadHostU32(words + 2 * kWordSize)));
    }
    case I::PortLerCutoff:
      if (!has_word) return 1;
      return SendManagementRequest(MakeSetAttribute(kAttrPortLerCutoff, ReadHostU32(buffer)));
    case I::PortLerAlarm:
      if (!has_word) return 1;
      return SendManagementRequest(MakeSetAttribute(kAttrPortLerAlarm, ReadHostU32(buffer)));
    case I::ErrorLogEntry:
      return ClearErrorLog();
    case I::DriverParameters:
      return WriteDriverParameters(buffer, length);
    case I::SerialNumber:
      return WriteSerialNumber(buffer, length);
    default:
      return 1;
  }
}

int DriverAdapter::FirmwarePrepare() {
  uint8_t word[kWordSize] = {};
  size_t returned = 0;
  return Send(kOidFirmwarePrepare, word, sizeof word, &returned);
}

int DriverAdapter::FirmwareLoad(void* buffer, size_t length) {
  if (buffer == nullptr || length != kFirmwareBufferSize) return 1;
  size_t returned = 0;
  return Send(kOidFirmwareLoad, buffer, length, &returned);
}

int DriverAdapter::FirmwareCommit() {
  uint8_t word[kWordSize] = {};
  size_t returned = 0;
  return Send(kOidFirmwareCommit, word, sizeof word, &returned);
}

int DriverAdapter::FirmwareStatus() {
  uint8_t word[kWordSize] = {};
  size_t returned = 0;
  if (Send(kOidFirmwareStatus, word, sizeof word, &returned) != 0 || returned < kWordSize) {
    return 0;
  }
  return FirmwareStatusFromReply(LoadU32(word));
}

int DriverAdapter::Control(int action) {
  uint32_t value = 0;
  if (ControlValueFor(action, &value) != 0) return 1;
  uint8_t word[kWordSize];
  StoreU32(word, value);
  size_t returned = 0;
  return Send(kOidAdapterControl, word, sizeof word, &returned);
}

int DriverAdapter::CheckDriverVersion() {
  uint8_t word[kWordSize] = {};
  size_t returned = 0;
  const bool ok = Send(kOidGenVendorId, word, sizeof word, &returned) == 0 && returned >= kWordSize;
  // A stalled driver is no old driver: the operator is told it does not answer.
  if (!ok && channel_->NotAnswering()) return kDriverNotAnswering;
  return DriverTooOld(ok, LoadU32(word)) ? 1 : 0;
}

int DriverAdapter::InitStationRecord() {
  StationIdRecord record;
  record.SetDirection(StationIdRecord::kRead);
  size_t returned = 0;
  if (Send(kOidStationRecord, record.bytes.data(), record.bytes.size(), &returned) != 0) {
    return 1;
  }
  if (record.Initialised() != 0) return 0;

  uint8_t address[6] = {};
  if (Send(kOidFddiLongPermanentAddr, address, sizeof address, &returned) != 0) return 1;
  std::memcpy(record.Address(), address, sizeof address);
  record.SetDirection(StationIdRecord::kWrite);
  record.SetInitialised(1);
  return Send(kOidStationRecord, record.bytes.data(), record.bytes.size(), &returned);
}

void DriverAdapter::BeginRefresh() {
  for (ReplyBlock& block : blocks_) block.fetched = false;
}

void DriverAdapter::SamplePerformance(int refresh_rate) {
  performance_.Take(*this, refresh_rate);
}


int DriverAdapter::QueryStandard(ManagementItem item, void* buffer, size_t* length) {
  const DriverItemSource* src = FindDriverItemSource(item);
  if (src == nullptr || buffer == nullptr || length == nullptr || *length == 0) return 1;
  if (src->source == ItemFrom::kDeviceName) return CopyText(device_path_, buffer, length);
  if (src->source != ItemFrom::kStandard) return 1;

  // The driver answers into a buffer of our own, so a failed request leaves
  // the caller's untouched.
  std::vector<uint8_t> reply(std::min(*length, kMaxStandardReply));
  size_t returned = 0;
  if (Send(src->where, reply.data(), reply.size(), &returned) != 0) return 1;
  if (returned > reply.size()) return 1;  // a driver that claims more than it had room for
  // A value cut short (a 2-byte address, a 3-byte number) is no value.
  if (returned < LeastStandardReply(src->shape, reply.size())) return 1;

  size_t copy = returned;
  if (src->shape == ItemShape::kText &&
      std::find(reply.begin(), reply.begin() + static_cast<ptrdiff_t>(returned), 0) ==
          reply.begin() + static_cast<ptrdiff_t>(returned)) {
    // A text without its NUL: end it right after the text, or cut the last
    // character when the text fills the buffer.
    if (returned < reply.size()) {
      reply[returned] = 0;
      copy = returned + 1;
    } else {
      reply[returned - 1] = 0;
    }
  }
  std::memcpy(buffer, reply.data(), copy);
  *length = returned;
  return 0;
}

int DriverAdapter::SendManagementRequest(const ManagementRequest& request) {
  blocks_[kMib].fetched = false;
  uint8_t buffer[kManagementBufferSize];
  request.WriteTo(buffer);
  size_t returned = 0;
  return Send(kOidManagementQuery, buffer, sizeof buffer, &returned);
}

int DriverAdapter::FetchErrorLogBlock(int entry) {
  if (entry < 0 || entry >= kErrorLogEntries) return 1;
  ReplyBlock& block = error_log_[static_cast<size_t>(entry)];
  size_t returned = 0;
  block.outcome = SendInto(block, kCodeErrorLog, static_cast<uint32_t>(entry), &returned);
  return block.outcome;
}

int DriverAdapter::ClearErrorLog() {
  request_.fill(0);
  MakeQuery(kCodeClearErrorLog).WriteTo(request_.data());
  size_t returned = 0;
  return Send(kOidManagementQuery, request_.data(), request_.size(), &returned);
}

int DriverAdapter::WriteDriverParameters(const void* block, size_t length) {
  return WriteFlash(kCodeWriteDriverParams, block, length, kDriverParamsWriteLength);
}

int DriverAdapter::WriteSerialNumber(const void* block, size_t length) {
  return WriteFlash(kCodeWriteSerialNumber, block, length, kSerialNumberWriteLength);
}

int DriverAdapter::Send(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  *returned = 0;
  if (!channel_) return 1;
  return channel_->Request(oid, buffer, len, returned) == 0 ? 0 : 1;
}

int DriverAdapter::SendInto(ReplyBlock& block, uint32_t code, uint32_t index, size_t* returned) {
  // The request is built over a copy of the block, so words the request does
  // not set keep the block's values, and a failed request (after which the
  // driver's buffer is undefined) leaves the block as it was.
  std::array<uint8_t, kManagementBufferSize> scratch;
  std::copy_n(block.bytes.begin(), scratch.size(), scratch.begin());
  const ManagementRequest query = MakeQuery(code, index);
  StoreU32(&scratch[0], query.paramLength);
  StoreU32(&scratch[4], query.replyLength);
  StoreU32(&scratch[8], query.requestCode);
  if (code == kCodeErrorLog) StoreU32(&scratch[kManagementHeaderSize], index);
  if (Send(kOidManagementQuery, scratch.data(), scratch.size(), returned) != 0) return 1;
  std::copy(scratch.begin(), scratch.end(), block.bytes.begin());
  return 0;
}

int DriverAdapter::FetchCached(BlockId id) {
  // Every reader of the cycle gets the first fetch's outcome: after a failed
  // fetch the block holds the last good reply (or nothing), which must not
  // pass for this cycle's.
  ReplyBlock& block = blocks_[id];
  if (block.fetched) return block.outcome;
  block.fetched = true;
  size_t returned = 0;
  block.outcome = SendInto(block, CachedBlockCode(id), 0, &returned);
  if (block.outcome == 0 && id == kSerialNumber) {
    StoreU32(block.bytes.data(), static_cast<uint32_t>(returned));
  }
  return block.outcome;
}

int DriverAdapter::WriteFlash(uint32_t code, const void* block, size_t length, size_t expected) {
  if (block == nullptr || length != expected) return 1;
  // The caller's block goes in at offset 8 with its first word replaced by
  // the request code.
  request_.fill(0);
  StoreU32(&request_[0], static_cast<uint32_t>(expected));
  StoreU32(&request_[4], kSetReplyLength);
  std::memcpy(&request_[8], block, length);
  StoreU32(&request_[8], code);
  size_t returned = 0;
  return Send(kOidManagementQuery, request_.data(), request_.size(), &returned);
}

int DriverAdapter::CopyFromBlock(const ReplyBlock& block, void* buffer, size_t length) const {
  if (length > block.bytes.size()) return 1;
  std::memcpy(buffer, block.bytes.data(), length);
  return 0;
}

}  // namespace quivera
