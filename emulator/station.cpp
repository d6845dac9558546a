// The emulated station: content setters, and the driver side that answers
// each request from that content in the layouts the adapter layer reads.
#include "emulator/station.h"

#include <algorithm>
#include <cstring>

#include "adapter/management_request.h"

namespace quivera {
namespace {

// The management queries answered from a stored block.
constexpr int kCachedCodes[] = {kCodeStatus, kCodeCounters,     kCodeLink,
                                kCodeMib,    kCodeDriverParams, kCodeSerialNumber};

// Where each settable SMT attribute lives in the MIB block. Port attributes
// have a second offset for port 1.
struct AttributeHome {
  uint32_t id;
  size_t offset;
  bool per_port;
};
constexpr AttributeHome kAttributeHomes[] = {
    {kAttrSmtConnectionPolicy, 0x64, false}, {kAttrPathTvxLowerBound, 0x138, false},
    {kAttrPathTMaxLowerBound, 0x13C, false}, {kAttrPathMaxTReq, 0x140, false},
    {kAttrPortLerCutoff, 0x1A4, true},       {kAttrPortLerAlarm, 0x1AC, true},
};

// The flash areas inside their query replies: data starts at offset 20. A
// write carries its data right after its code word (offset 12).
constexpr size_t kFlashDataOffset = 20;
constexpr size_t kFlashWriteDataOffset = 12;
// Entry status and everything after it is erased by a clear; erased flash
// reads as 0xFF, so a cleared entry is no longer marked valid (status 0).
constexpr size_t kErrorLogStatusOffset = 16;

// The firmware status reply when none is stored: bits 24..25 carry the board
// revision, 3 (the board every current image fits). It is a property of the
// board, so a commit leaves it alone.
constexpr uint32_t kFirmwareStatusBoard3 = 0x03000000;
constexpr size_t kFirmwareImageArea = 0x40000;

constexpr size_t kWordSize = 4;

const std::vector<uint8_t>& EmptyBytes() {
  static const std::vector<uint8_t> empty;
  return empty;
}

bool Fits(size_t offset, size_t size, size_t total) {
  return offset <= total && size <= total - offset;
}

}  // namespace

Station::Station() : station_record_(StationIdRecord::kSize, 0) {
  for (int code : kCachedCodes) blocks_[code].assign(kBlockSize, 0);
  for (auto& entry : error_log_) entry.assign(kBlockSize, 0);
  SetOidU32(kOidGenVendorId, kMinimumDriverVersion);
}

void Station::SetOid(uint32_t oid, std::vector<uint8_t> reply) { oids_[oid] = std::move(reply); }

void Station::SetOidU32(uint32_t oid, uint32_t value) {
  std::vector<uint8_t> bytes(kWordSize);
  StoreU32(bytes.data(), value);
  SetOid(oid, std::move(bytes));
}

void Station::ClearOid(uint32_t oid) { oids_.erase(oid); }

int Station::SetBlock(int code, size_t offset, const std::vector<uint8_t>& bytes) {
  auto it = blocks_.find(code);
  if (it == blocks_.end() || !Fits(offset, bytes.size(), kBlockSize)) return 1;
  std::copy(bytes.begin(), bytes.end(), it->second.begin() + static_cast<ptrdiff_t>(offset));
  return 0;
}

int Station::SetBlockU32(int code, size_t offset, uint32_t value) {
  std::vector<uint8_t> bytes(kWordSize);
  StoreU32(bytes.data(), value);
  return SetBlock(code, offset, bytes);
}

int Station::SetErrorLog(int entry, size_t offset, const std::vector<uint8_t>& bytes) {
  if (entry < 0 || entry >= static_cast<int>(error_log_.size()) ||
      !Fits(offset, bytes.size(), kBlockSize)) {
    return 1;
  }
  auto& block = error_log_[static_cast<size_t>(entry)];
  std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<ptrdiff_t>(offset));
  return 0;
}

int Station::SetStationRecord(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > StationIdRecord::kSize) return 1;
  std::fill(station_record_.begin(), station_record_.end(), 0);
  std::copy(bytes.begin(), bytes.end(), station_record_.begin());
  return 0;
}

void Station::FailOid(uint32_t oid, bool fail) {
  if (fail) {
    failing_oids_.insert(oid);
  } else {
    failing_oids_.erase(oid);
  }
}

void Station::FailBlock(int code, bool fail) {
  if (fail) {
    failing_codes_.insert(code);
  } else {
    failing_codes_.erase(code);
  }
}

int Station::Handle(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  size_t ignored = 0;
  if (returned == nullptr) returned = &ignored;
  *returned = 0;
  if (buffer == nullptr && len != 0) return 1;
  auto* bytes = static_cast<uint8_t*>(buffer);
  const int code = oid == kOidManagementQuery && len >= kManagementHeaderSize
                       ? static_cast<int>(LoadU32(bytes + 8))
                       : -1;
  if (before_request) before_request(*this, oid, code);
  if (failing_oids_.count(oid) != 0) return 1;

  int rc = 1;
  switch (oid) {
    case kOidManagementQuery:
      rc = HandleManagement(bytes, len, returned);
      break;
    case kOidAdapterControl:
      rc = HandleControl(bytes, len, returned);
      break;
    case kOidStationRecord:
      rc = HandleStationRecord(bytes, len, returned);
      break;
    case kOidFirmwarePrepare:
    case kOidFirmwareLoad:
    case kOidFirmwareCommit:
    case kOidFirmwareStatus:
      rc = HandleFirmware(oid, bytes, len, returned);
      break;
    default:
      rc = HandleStored(oid, bytes, len, returned);
      break;
  }
  if (rc != 0) *returned = 0;
  return rc;
}

int Station::HandleManagement(uint8_t* buffer, size_t len, size_t* returned) {
  if (len < kBlockSize) return 1;
  const ManagementRequest request = ManagementRequest::ReadFrom(buffer);
  const int code = static_cast<int>(request.requestCode);
  const RequestShape* shape = ShapeOf(request.requestCode);
  if (shape == nullptr || failing_codes_.count(code) != 0) return 1;
  if (request.paramLength < kWordSize ||
      request.paramLength > kManagementBufferSize - 2 * kWordSize) {
    return 1;
  }

  switch (request.requestCode) {
    case kCodeStatus:
    case kCodeCounters:
    case kCodeLink:
    case kCodeMib:
    case kCodeDriverParams:
    case kCodeSerialNumber: {
      const auto& block = blocks_.at(code);
      std::copy(block.begin(), block.end(), buffer);
      *returned = shape->replyLength;
      return 0;
    }
    case kCodeErrorLog: {
      const uint32_t entry = request.parameters[0];
      if (entry >= error_log_.size()) return 1;
      const auto& block = error_log_[entry];
      std::copy(block.begin(), block.end(), buffer);
      *returned = shape->replyLength;
      return 0;
    }
    case kCodeClearErrorLog:
      for (auto& block : error_log_) {
        std::fill(block.begin() + kErrorLogStatusOffset, block.end(), 0xFF);
      }
      break;
    case kCodeSetAttributes:
      if (HandleSetAttributes(buffer, request.paramLength) != 0) return 1;
      break;
    case kCodeWriteDriverParams:
    case kCodeWriteSerialNumber: {
      if (request.paramLength != shape->paramLength) return 1;
      // The data after the code word becomes the area's content in the
      // matching query reply, as far as that reply has room.
      auto& area = blocks_.at(request.requestCode == kCodeWriteDriverParams ? kCodeDriverParams
                                                                            : kCodeSerialNumber);
      const size_t data =
          std::min<size_t>(request.paramLength - kWordSize, kBlockSize - kFlashDataOffset);
      std::copy_n(buffer + kFlashWriteDataOffset, data, area.begin() + kFlashDataOffset);
      break;
    }
    default:
      return 1;
  }
  *returned = kSetReplyLength;
  return 0;
}

int Station::HandleSetAttributes(const uint8_t* buffer, uint32_t param_length) {
  // Entries of three words {id, value, 0} follow the code word until a zero
  // identifier or the end of the parameters.
  const size_t end = 2 * kWordSize + param_length;
  std::vector<std::pair<uint32_t, uint32_t>> entries;
  std::vector<const AttributeHome*> homes;
  for (size_t at = kManagementHeaderSize; at + 3 * kWordSize <= end; at += 3 * kWordSize) {
    const uint32_t id = LoadU32(buffer + at);
    if (id == 0) break;
    const auto* home = std::find_if(std::begin(kAttributeHomes), std::end(kAttributeHomes),
                                    [id](const AttributeHome& h) { return h.id == id; });
    if (home == std::end(kAttributeHomes)) return 1;  // unknown attribute: nothing applied
    entries.emplace_back(id, LoadU32(buffer + at + kWordSize));
    homes.push_back(home);
  }
  if (entries.empty()) return 1;

  for (size_t i = 0; i < entries.size(); ++i) {
    SetBlockU32(kCodeMib, homes[i]->offset, entries[i].second);
    // The request names no port, so a port attribute is applied to both
    // ports: the station's ports share one setting.
    if (homes[i]->per_port) SetBlockU32(kCodeMib, homes[i]->offset + kWordSize, entries[i].second);
  }
  last_set_ = std::move(entries);
  return 0;
}

int Station::HandleControl(uint8_t* buffer, size_t len, size_t* returned) {
  if (len < kWordSize) return 1;
  const uint32_t value = LoadU32(buffer);
  if (value != 0 && value != 1 && value != 2 && value != 4) return 1;
  last_control_ = value;
  *returned = kWordSize;
  return 0;
}

int Station::HandleStationRecord(uint8_t* buffer, size_t len, size_t* returned) {
  if (len < StationIdRecord::kSize) return 1;
  const uint32_t direction = LoadU32(buffer);
  if (direction == StationIdRecord::kRead) {
    std::copy(station_record_.begin(), station_record_.end(), buffer);
    StoreU32(buffer, StationIdRecord::kRead);
  } else if (direction == StationIdRecord::kWrite) {
    std::copy_n(buffer, StationIdRecord::kSize, station_record_.begin());
  } else {
    return 1;
  }
  *returned = StationIdRecord::kSize;
  return 0;
}

int Station::HandleFirmware(uint32_t oid, uint8_t* buffer, size_t len, size_t* returned) {
  if (len < kWordSize) return 1;
  switch (oid) {
    case kOidFirmwarePrepare:
      firmware_.clear();
      firmware_loaded_ = false;
      firmware_committed_ = false;
      break;
    case kOidFirmwareLoad: {
      const size_t image = LoadU32(buffer);
      if (image > kFirmwareImageArea || image > len - kWordSize) return 1;
      firmware_.assign(buffer + kWordSize, buffer + kWordSize + image);
      firmware_loaded_ = true;
      firmware_committed_ = false;
      break;
    }
    case kOidFirmwareCommit:
      if (!firmware_loaded_) return 1;
      firmware_committed_ = true;
      break;
    case kOidFirmwareStatus:
      if (oids_.count(oid) != 0) return HandleStored(oid, buffer, len, returned);
      StoreU32(buffer, kFirmwareStatusBoard3);
      break;
    default:
      return 1;
  }
  *returned = kWordSize;
  return 0;
}

int Station::HandleStored(uint32_t oid, uint8_t* buffer, size_t len, size_t* returned) {
  auto it = oids_.find(oid);
  if (it == oids_.end() || it->second.size() > len) return 1;  // unknown, or buffer too short
  std::copy(it->second.begin(), it->second.end(), buffer);
  *returned = it->second.size();
  return 0;
}

const std::vector<uint8_t>& Station::Block(int code) const {
  auto it = blocks_.find(code);
  return it == blocks_.end() ? EmptyBytes() : it->second;
}

const std::vector<uint8_t>& Station::ErrorLog(int entry) const {
  if (entry < 0 || entry >= static_cast<int>(error_log_.size())) return EmptyBytes();
  return error_log_[static_cast<size_t>(entry)];
}

uint32_t Station::BlockU32(int code, size_t offset) const {
  const auto& block = Block(code);
  if (!Fits(offset, kWordSize, block.size())) return 0;
  return LoadU32(block.data() + offset);
}

}  // namespace quivera
