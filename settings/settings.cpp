// The process-wide settings.
#include "settings/settings.h"

#include "settings/settings_table.h"

namespace quivera {

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
