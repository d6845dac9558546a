// An adapter for the page tests whose every item the test sets value by
// value, with chosen items failing, placed in an AdapterList the way the view
// holds it. Pages read it only through the list.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/adapter_list.h"

namespace quivera {

class PageTestAdapter : public Adapter {
 public:
  void SetBytes(ManagementItem item, std::vector<uint8_t> bytes, int index = 0) {
    values_[{item, index}] = std::move(bytes);
  }
  void SetU32(ManagementItem item, uint32_t value) { SetRaw(item, &value, sizeof value); }
  // Two words in host order, the more significant first, as adapters deliver
  // 64-bit counters.
  void SetCounter(ManagementItem item, uint32_t high, uint32_t low) {
    const uint32_t words[2] = {high, low};
    SetRaw(item, words, sizeof words);
  }
  void SetDouble(ManagementItem item, double value) { SetRaw(item, &value, sizeof value); }
  // A text with its NUL, as the driver delivers texts.
  void SetText(ManagementItem item, const std::string& text) {
    SetRaw(item, text.c_str(), text.size() + 1);
  }
  // Reads of 'item' fail until Restore.
  void Fail(ManagementItem item) { failing_.insert(item); }
  void Restore(ManagementItem item) { failing_.erase(item); }

  int total_reads() const {
    int total = 0;
    for (const auto& [item, count] : reads_) total += count;
    return total;
  }
  int reads(ManagementItem item) const {
    const auto found = reads_.find(item);
    return found == reads_.end() ? 0 : found->second;
  }

  // Copies the stored value when it fits in '*length' bytes and stores its
  // size there; 1 for an item never set, made to fail, or too long.
  int GetItem(ManagementItem item, void* buffer, size_t* length, int index = 0) override {
    ++reads_[item];
    if (failing_.count(item) != 0) return 1;
    const auto found = values_.find({item, index});
    if (found == values_.end() || found->second.size() > *length) return 1;
    std::memcpy(buffer, found->second.data(), found->second.size());
    *length = found->second.size();
    return 0;
  }
  int SetItem(ManagementItem, const void*, size_t, int) override { return 1; }

 private:
  void SetRaw(ManagementItem item, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    SetBytes(item, std::vector<uint8_t>(bytes, bytes + size));
  }

  std::map<std::pair<ManagementItem, int>, std::vector<uint8_t>> values_;
  std::set<ManagementItem> failing_;
  std::map<ManagementItem, int> reads_;
};

// An AdapterList holding one PageTestAdapter, which stays reachable.
struct PageTestList {
  PageTestList() {
    auto owned = std::make_unique<PageTestAdapter>();
    adapter = owned.get();
    list.Add(std::move(owned));
  }
  AdapterList list;
  PageTestAdapter* adapter = nullptr;
};

}  // namespace quivera
