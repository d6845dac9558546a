// The in-process driver channel over a Station, and its request log.
#include "emulator/emulator_channel.h"

#include <algorithm>
#include <utility>

#include "adapter/management_request.h"

namespace quivera {

void ChannelRequestLog::Add(RecordedRequest request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(request);
}

std::vector<RecordedRequest> ChannelRequestLog::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

size_t ChannelRequestLog::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

int ChannelRequestLog::CountOid(uint32_t oid) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                        [oid](const RecordedRequest& r) { return r.oid == oid; }));
}

int ChannelRequestLog::CountCode(int code) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count_if(
      requests_.begin(), requests_.end(),
      [code](const RecordedRequest& r) { return r.oid == kOidManagementQuery && r.code == code; }));
}

void ChannelRequestLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

EmulatorChannel::EmulatorChannel(std::shared_ptr<Station> station,
                                 std::shared_ptr<ChannelRequestLog> log)
    : station_(std::move(station)),
      log_(log ? std::move(log) : std::make_shared<ChannelRequestLog>()) {}

int EmulatorChannel::Request(uint32_t oid, void* buffer, size_t len, size_t* returned) {
  int code = -1;
  if (oid == kOidManagementQuery && buffer != nullptr && len >= kManagementHeaderSize) {
    code = static_cast<int>(LoadU32(static_cast<const uint8_t*>(buffer) + 8));
  }
  log_->Add({oid, code});
  return station_->Handle(oid, buffer, len, returned);
}

}  // namespace quivera
