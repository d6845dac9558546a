// The adapter list: every operation on the current adapter, and every change
// of which adapter is current, runs under the one mutex.
#include "adapter/adapter_list.h"

namespace quivera {

AdapterList::~AdapterList() = default;

int AdapterList::Add(std::unique_ptr<Adapter> adapter) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!adapter || count_ >= kMaxAdapters) return 1;
  adapters_[static_cast<size_t>(count_)] = std::move(adapter);
  ++count_;
  return 0;
}

int AdapterList::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

int AdapterList::CurrentIndex() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

int AdapterList::SetCurrent(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= count_) return 1;
  current_ = index;
  return 0;
}

int AdapterList::GetItem(ManagementItem item, void* buffer, size_t* length, int index) {
  return WithCurrent([&](Adapter& a) { return a.GetItem(item, buffer, length, index); });
}

int AdapterList::SetItem(ManagementItem item, const void* buffer, size_t length, int index) {
  return WithCurrent([&](Adapter& a) { return a.SetItem(item, buffer, length, index); });
}

int AdapterList::FirmwarePrepare() {
  return WithCurrent([](Adapter& a) { return a.FirmwarePrepare(); });
}

int AdapterList::FirmwareLoad(void* buffer, size_t length) {
  return WithCurrent([&](Adapter& a) { return a.FirmwareLoad(buffer, length); });
}

int AdapterList::FirmwareCommit() {
  return WithCurrent([](Adapter& a) { return a.FirmwareCommit(); });
}

int AdapterList::FirmwareStatus() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (count_ == 0) return 0;  // "request failed"
  return adapters_[static_cast<size_t>(current_)]->FirmwareStatus();
}

int AdapterList::Control(int action) {
  return WithCurrent([action](Adapter& a) { return a.Control(action); });
}

int AdapterList::CheckDriverVersion() {
  return WithCurrent([](Adapter& a) { return a.CheckDriverVersion(); });
}

void AdapterList::BeginRefresh() {
  WithCurrent([](Adapter& a) {
    a.BeginRefresh();
    return 0;
  });
}

void AdapterList::BeginRefreshAll() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < count_; ++i) adapters_[static_cast<size_t>(i)]->BeginRefresh();
  }
  ++refresh_count_;
}

void AdapterList::SamplePerformance(int refresh_rate) {
  WithCurrent([refresh_rate](Adapter& a) {
    a.SamplePerformance(refresh_rate);
    return 0;
  });
}

int GetU32(AdapterList& list, ManagementItem item, uint32_t* value, int index) {
  uint32_t v = 0;
  size_t length = sizeof v;
  if (list.GetItem(item, &v, &length, index) != 0) return 1;
  *value = v;
  return 0;
}

int GetU64(AdapterList& list, ManagementItem item, uint64_t* value, int index) {
  // A 64-bit item arrives as two u32 words, the more significant one first.
  uint32_t words[2] = {0, 0};
  size_t length = sizeof words;
  if (list.GetItem(item, words, &length, index) != 0) return 1;
  *value = static_cast<uint64_t>(words[0]) << 32 | words[1];
  return 0;
}

}  // namespace quivera
