// The adapter list: the current index under the list's lock, each adapter's
// operations under its own, and the threads' pins.
#include "adapter/adapter_list.h"

#include <chrono>

namespace quivera {
namespace {
// The calling thread's pins, innermost first, on whatever lists it uses.
thread_local AdapterList::Pin* pins = nullptr;
}  // namespace

AdapterList::~AdapterList() = default;

AdapterList::Pin::Pin(AdapterList& list) : Pin(list, list.CurrentIndex()) {}

AdapterList::Pin::Pin(AdapterList& list, int index) : list_(&list), index_(index), outer_(pins) {
  pins = this;
}

AdapterList::Pin::~Pin() { pins = outer_; }

AdapterList::Pin* AdapterList::PinOf() const {
  for (Pin* pin = pins; pin != nullptr; pin = pin->outer_) {
    if (pin->list_ == this) return pin;
  }
  return nullptr;
}

int AdapterList::Add(std::unique_ptr<Adapter> adapter) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!adapter || count_ >= kMaxAdapters) return 1;
  slots_[static_cast<size_t>(count_)].adapter = std::move(adapter);
  ++count_;
  return 0;
}

int AdapterList::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

int AdapterList::CurrentIndex() const {
  if (const Pin* pin = PinOf()) return pin->index_;
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

int AdapterList::SetCurrent(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= count_) return 1;
  current_ = index;
  if (Pin* pin = PinOf()) pin->index_ = index;
  return 0;
}

AdapterList::Slot* AdapterList::SlotAt(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A slot is filled before count_ grows past it and never emptied while the
  // list lives, so its adapter can be used after this lock is released.
  if (index < 0 || index >= count_) return nullptr;
  return &slots_[static_cast<size_t>(index)];
}

bool AdapterList::TakeUnlessStopped(Slot& slot) {
  std::unique_lock<std::mutex> lock(slot.mutex);
  while (slot.busy) {
    if (ThreadStopRequested()) return false;
    // The system clock's wait is the one every tool follows; a clock step
    // only changes one short slice.
    slot.freed.wait_until(lock, std::chrono::system_clock::now() +
                                    std::chrono::milliseconds(kStopCheckMs));
  }
  if (ThreadStopRequested()) return false;
  slot.busy = true;
  return true;
}

void AdapterList::Give(Slot& slot) {
  {
    std::lock_guard<std::mutex> lock(slot.mutex);
    slot.busy = false;
  }
  slot.freed.notify_one();
}

AdapterHandle AdapterList::At(int index) { return AdapterHandle(*this, index); }

AdapterHandle AdapterList::Current() { return At(CurrentIndex()); }

int AdapterList::GetItem(ManagementItem item, void* buffer, size_t* length, int index) {
  return Current().GetItem(item, buffer, length, index);
}

int AdapterList::SetItem(ManagementItem item, const void* buffer, size_t length, int index) {
  return Current().SetItem(item, buffer, length, index);
}

int AdapterList::FirmwarePrepare() { return Current().FirmwarePrepare(); }

int AdapterList::FirmwareLoad(void* buffer, size_t length) {
  return Current().FirmwareLoad(buffer, length);
}

int AdapterList::FirmwareCommit() { return Current().FirmwareCommit(); }

int AdapterList::FirmwareStatus() { return Current().FirmwareStatus(); }

int AdapterList::Control(int action) { return Current().Control(action); }

int AdapterList::CheckDriverVersion() { return Current().CheckDriverVersion(); }

void AdapterList::BeginRefresh() { Current().BeginRefresh(); }

void AdapterList::BeginRefreshAll() {
  // Each adapter on its own lock: one busy with a slow request holds up only
  // its own renewal.
  for (int i = 0; i < Count(); ++i) {
    WithAdapter(i, [](Adapter& a) {
      a.BeginRefresh();
      return 0;
    });
  }
  ++refresh_count_;
}

void AdapterList::SamplePerformance(int refresh_rate) { Current().SamplePerformance(refresh_rate); }

int AdapterHandle::GetItem(ManagementItem item, void* buffer, size_t* length, int instance) {
  return With([&](Adapter& a) { return a.GetItem(item, buffer, length, instance); });
}

int AdapterHandle::SetItem(ManagementItem item, const void* buffer, size_t length, int instance) {
  return With([&](Adapter& a) { return a.SetItem(item, buffer, length, instance); });
}

int AdapterHandle::FirmwarePrepare() {
  return With([](Adapter& a) { return a.FirmwarePrepare(); });
}

int AdapterHandle::FirmwareLoad(void* buffer, size_t length) {
  return With([&](Adapter& a) { return a.FirmwareLoad(buffer, length); });
}

int AdapterHandle::FirmwareCommit() {
  return With([](Adapter& a) { return a.FirmwareCommit(); });
}

int AdapterHandle::FirmwareStatus() {
  int status = 0;  // "request failed"
  With([&status](Adapter& a) {
    status = a.FirmwareStatus();
    return 0;
  });
  return status;
}

int AdapterHandle::Control(int action) {
  return With([action](Adapter& a) { return a.Control(action); });
}

int AdapterHandle::CheckDriverVersion() {
  return With([](Adapter& a) { return a.CheckDriverVersion(); });
}

void AdapterHandle::BeginRefresh() {
  With([](Adapter& a) {
    a.BeginRefresh();
    return 0;
  });
}

void AdapterHandle::SamplePerformance(int refresh_rate) {
  With([refresh_rate](Adapter& a) {
    a.SamplePerformance(refresh_rate);
    return 0;
  });
}

int GetU32(AdapterHandle adapter, ManagementItem item, uint32_t* value, int index) {
  uint32_t v = 0;
  size_t length = sizeof v;
  if (adapter.GetItem(item, &v, &length, index) != 0) return 1;
  *value = v;
  return 0;
}

int GetU64(AdapterHandle adapter, ManagementItem item, uint64_t* value, int index) {
  // A 64-bit item arrives as two u32 words, the more significant one first.
  uint32_t words[2] = {0, 0};
  size_t length = sizeof words;
  if (adapter.GetItem(item, words, &length, index) != 0) return 1;
  *value = static_cast<uint64_t>(words[0]) << 32 | words[1];
  return 0;
}

int GetU32(AdapterList& list, ManagementItem item, uint32_t* value, int index) {
  return GetU32(list.Current(), item, value, index);
}

int GetU64(AdapterList& list, ManagementItem item, uint64_t* value, int index) {
  return GetU64(list.Current(), item, value, index);
}

}  // namespace quivera
