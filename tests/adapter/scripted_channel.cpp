// The scripted and failing test channels.
#include "scripted_channel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "adapter/management_request.h"

namespace quivera::testing {

int RequestCodeOf(uint32_t oid, const void* buffer, size_t len) {
  if (oid != kOidManagementQuery || buffer == nullptr || len < kManagementHeaderSize) return -1;
  return static_cast<int>(LoadU32(static_cast<const uint8_t*>(buffer) + 8));
}

ScriptedChannel::ScriptedChannel(std::vector<Expect> script) : script_(std::move(script)) {}

int ScriptedChannel::Request(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  *returned = 0;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  sent_.emplace_back(bytes, bytes + len);
  oids_.push_back(oid);
  const int code = RequestCodeOf(oid, buffer, len);
  if (next_ >= script_.size()) {
    errors_.push_back("unexpected request for OID " + std::to_string(oid));
    return 1;
  }
  const Expect& e = script_[next_++];
  if (e.oid != oid || (e.code >= 0 && e.code != code)) {
    errors_.push_back("request " + std::to_string(next_) + ": OID " + std::to_string(oid) +
                      " code " + std::to_string(code));
    return 1;
  }
  if (e.rc != 0) return 1;
  const size_t n = std::min(len, e.reply.size());
  if (n != 0) std::memcpy(buffer, e.reply.data(), n);
  *returned = e.returned >= 0 ? static_cast<size_t>(e.returned) : n;
  return 0;
}

FailingChannel::FailingChannel(std::unique_ptr<DriverChannel> inner) : inner_(std::move(inner)) {}

int FailingChannel::Request(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  const int code = RequestCodeOf(oid, buffer, len);
  if (oids_.count(oid) != 0 || (code >= 0 && codes_.count(code) != 0)) {
    *returned = 0;
    ++refused_;
    if (scribble_ && buffer != nullptr) std::memset(buffer, 0xEE, len);
    return 1;
  }
  return inner_->Request(oid, buffer, len, returned);
}

void FailingChannel::FailOid(uint32_t oid, bool fail) {
  if (fail) {
    oids_.insert(oid);
  } else {
    oids_.erase(oid);
  }
}

void FailingChannel::FailCode(int code, bool fail) {
  if (fail) {
    codes_.insert(code);
  } else {
    codes_.erase(code);
  }
}

}  // namespace quivera::testing
