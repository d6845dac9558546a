// Platform verdict, adapter enumeration and the driver-version pass.
#include "adapter/discovery.h"

#include <memory>

#include "adapter/driver_adapter.h"
#include "adapter/simulated_adapter.h"

namespace quivera {
namespace {

constexpr int kSimulatedAdapters = 3;
constexpr size_t kDeviceNameBuffer = 32;

}  // namespace

int CheckPlatform(bool test_mode) { return test_mode ? kPlatformTestMode : kPlatformSupported; }

const std::array<std::string, kCandidateCount>& CandidateDevicePaths() {
  static const std::array<std::string, kCandidateCount> paths = [] {
    std::array<std::string, kCandidateCount> p;
    const char* models[] = {"korae", "korap"};
    size_t at = 0;
    for (const char* model : models) {
      for (char unit = '1'; unit <= '9'; ++unit) {
        p[at++] = std::string("\\Device\\") + model + unit;
      }
    }
    return p;
  }();
  return paths;
}

std::string DosDeviceName(int ordinal) {
  return std::string("QVAdapter") + static_cast<char>('A' + ordinal);
}

void Discover(AdapterList& list, const ChannelOpener& open, bool test_mode) {
  if (test_mode) {
    for (int i = 0; i < kSimulatedAdapters; ++i) list.Add(std::make_unique<SimulatedAdapter>());
    return;
  }
  int letter = list.Count();
  for (const std::string& path : CandidateDevicePaths()) {
    std::unique_ptr<DriverChannel> channel = open ? open(path) : nullptr;
    if (!channel) continue;
    if (list.Count() >= AdapterList::kMaxAdapters) continue;  // closed as it goes out of scope
    auto adapter = std::make_unique<DriverAdapter>(std::move(channel), DosDeviceName(letter), path);
    adapter->InitStationRecord();  // an adapter whose record cannot be set up still works
    if (list.Add(std::move(adapter)) == 0) ++letter;
  }
}

void Discover(AdapterList& list, int verdict, const ChannelOpener& open) {
  if (verdict == kPlatformSupported || verdict == kPlatformTestMode) {
    Discover(list, open, verdict == kPlatformTestMode);
  }
}

int FindOutdatedDriver(AdapterList& list, std::string* device_name, bool accept_any_driver,
                       bool* not_answering) {
  if (accept_any_driver) return -1;
  const int previous = list.CurrentIndex();
  int outdated = -1;
  for (int i = 0; i < list.Count() && outdated < 0; ++i) {
    list.SetCurrent(i);
    const int verdict = list.CheckDriverVersion();
    if (verdict == 0) continue;
    outdated = i;
    if (not_answering != nullptr) *not_answering = verdict == kDriverNotAnswering;
    char name[kDeviceNameBuffer] = {};
    size_t length = sizeof name - 1;  // keeps a NUL at the end whatever comes back
    if (list.GetItem(ManagementItem::DeviceName, name, &length) != 0) name[0] = '\0';
    *device_name = name;
  }
  list.SetCurrent(previous);
  return outdated;
}

}  // namespace quivera
