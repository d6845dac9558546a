// An adapter whose every item is set by the test, value by value, with
// chosen reads failing, and which records every set it is asked for. The
// page tests use it where exact control over each item (including failures
// of single items) matters more than the driver request path.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "adapter/adapter.h"

namespace quivera {

class FakeAdapter : public Adapter {
 public:
  struct SetCall {
    ManagementItem item;
    std::vector<uint8_t> bytes;
    int index;
    uint32_t U32(size_t word = 0) const {
      uint32_t value = 0;
      if (bytes.size() >= (word + 1) * 4) std::memcpy(&value, bytes.data() + word * 4, 4);
      return value;
    }
  };

  void SetBytes(ManagementItem item, std::vector<uint8_t> bytes, int index = 0) {
    values_[{item, index}] = std::move(bytes);
  }
  void SetU32(ManagementItem item, uint32_t value, int index = 0) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    SetBytes(item, std::move(bytes), index);
  }
  // Two words in host order, the more significant first, as adapters deliver
  // 64-bit counters.
  void SetU64(ManagementItem item, uint64_t value, int index = 0) {
    const uint32_t words[2] = {static_cast<uint32_t>(value >> 32), static_cast<uint32_t>(value)};
    std::vector<uint8_t> bytes(8);
    std::memcpy(bytes.data(), words, 8);
    SetBytes(item, std::move(bytes), index);
  }
  // Reads of 'item' (any index) fail from now on.
  void Fail(ManagementItem item) { failing_.insert(item); }

  const std::vector<SetCall>& sets() const { return sets_; }
  int reads() const { return reads_; }

  // Copies at most '*length' bytes of the stored value and stores the count
  // in '*length'; 1 for an item never set or made to fail.
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) override {
    ++reads_;
    if (failing_.count(item) != 0) return 1;
    auto found = values_.find({item, index});
    if (found == values_.end()) return 1;
    const size_t count = found->second.size() < *length ? found->second.size() : *length;
    if (count > 0) std::memcpy(buffer, found->second.data(), count);
    *length = count;
    return 0;
  }

  // Records the call and stores a u32 value so that it reads back.
  int SetItem(ManagementItem item, const void* buffer, size_t length, int index = 0) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    sets_.push_back({item, std::vector<uint8_t>(bytes, bytes + length), index});
    if (length == 4) SetBytes(item, std::vector<uint8_t>(bytes, bytes + length), index);
    return 0;
  }

 private:
  std::map<std::pair<ManagementItem, int>, std::vector<uint8_t>> values_;
  std::set<ManagementItem> failing_;
  std::vector<SetCall> sets_;
  int reads_ = 0;
};

// An adapter whose reads wait until the test lets them go.
class GatedAdapter : public FakeAdapter {
 public:
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index) override {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [this] { return open_; });
    return FakeAdapter::GetItem(item, buffer, length, index);
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    released_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool open_ = false;
};

}  // namespace quivera
