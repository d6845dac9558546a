// The adapter a flash command started on. The flash commands pause (questions,
// the download's waits) while the hypertext server may make another adapter
// current; every step of one command must still reach the adapter the user
// chose it for. Each operation is atomic towards the other thread, as through
// the list.
// Not an AdapterList::Pin: that pins the whole calling thread, and during the
// command's pauses the same thread goes on with other work (the timer's page
// refreshes) that must follow the current adapter, not this one.
#pragma once

#include <cstddef>

#include "adapter/adapter_list.h"

namespace quivera {

class PinnedAdapter {
 public:
  // Pins the adapter that is current now.
  explicit PinnedAdapter(AdapterList& list) : list_(list), index_(list.CurrentIndex()) {}

  int index() const { return index_; }

  int GetItem(ManagementItem item, void* buffer, size_t* length, int instance = 0) {
    return list_.WithAdapter(
        index_, [&](Adapter& a) { return a.GetItem(item, buffer, length, instance); });
  }
  int SetItem(ManagementItem item, const void* buffer, size_t length, int instance = 0) {
    return list_.WithAdapter(
        index_, [&](Adapter& a) { return a.SetItem(item, buffer, length, instance); });
  }
  int FirmwarePrepare() {
    return list_.WithAdapter(index_, [](Adapter& a) { return a.FirmwarePrepare(); });
  }
  int FirmwareLoad(void* buffer, size_t length) {
    return list_.WithAdapter(index_, [&](Adapter& a) { return a.FirmwareLoad(buffer, length); });
  }
  int FirmwareCommit() {
    return list_.WithAdapter(index_, [](Adapter& a) { return a.FirmwareCommit(); });
  }
  // 0 when the request failed or there is no adapter.
  int FirmwareStatus() {
    int status = 0;
    list_.WithAdapter(index_, [&](Adapter& a) {
      status = a.FirmwareStatus();
      return 0;
    });
    return status;
  }
  int Control(int action) {
    return list_.WithAdapter(index_, [&](Adapter& a) { return a.Control(action); });
  }

 private:
  AdapterList& list_;
  int index_;
};

}  // namespace quivera
