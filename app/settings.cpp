// The process-wide settings and the two values the hypertext server shares
// with the view.
#include "app/settings.h"

#include "app/settings_table.h"

namespace quivera {

std::atomic<uint32_t> ServerAccessCount{0};
std::atomic<bool> RemoteSetDone{false};

Settings& AppSettings() {
  static Settings settings;
  return settings;
}

void ResetSettings() {
  Settings& s = AppSettings();
  for (const SettingDef& def : SettingTable()) {
    if (def.member) (s.*def.member) = def.fallback;
  }
  s.Registration.clear();
}

}  // namespace quivera
