// The start-up sequence: platform, discovery, refusals, adapter 1.
#include "app/startup.h"

#include "settings/settings.h"

#include <string>

#include "adapter/discovery.h"

namespace quivera {
namespace {

bool Refuse(UiServices& ui, const std::string& text, const char* caption) {
  ui.Message(text, caption, MessageButtons::Ok, MessageIcon::Stop);
  return false;
}

std::string WithDeviceName(const char* pattern, const std::string& device_name) {
  std::string text = pattern;
  text.replace(text.find("%s"), 2, device_name);
  return text;
}

}  // namespace

std::string DriverTooOldMessage(const std::string& device_name) {
  return WithDeviceName(kDriverTooOld, device_name);
}

std::string DriverNotAnsweringMessage(const std::string& device_name) {
  return WithDeviceName(kDriverNotAnsweringText, device_name);
}

bool RunStartupSequence(AdapterList& list, const ChannelOpener& opener, bool test_mode,
                        UiServices& ui, const AdapterMenuTrim& trim_adapter_menu) {
  const int verdict = CheckPlatform(test_mode);
  if (verdict == kPlatformUnsupported) return Refuse(ui, kPlatformNotSupported, kAppCaption);

  Discover(list, verdict, opener);
  const int count = list.Count();
  if (count == 0) return Refuse(ui, kNoAdapterFound, kAppCaption);

  if (trim_adapter_menu) trim_adapter_menu(count);

  std::string device_name;
  bool not_answering = false;
  if (FindOutdatedDriver(list, &device_name, AppSettings().AnyOldDriver != 0, &not_answering) >=
      0) {
    // A stalled driver is not called too old: an upgrade would not help.
    if (not_answering) return Refuse(ui, DriverNotAnsweringMessage(device_name), kAppCaption);
    return Refuse(ui, DriverTooOldMessage(device_name), kDriverUpgradeCaption);
  }

  list.SetCurrent(0);
  list.SamplePerformance(AppSettings().RefreshRate);
  return true;
}

}  // namespace quivera
