// Loading the settings from the profile file at start and writing the ones
// the program owns back at exit.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "settings/profile_file.h"
#include "settings/settings.h"
#include "settings/settings_table.h"

namespace quivera {

Result LoadSettings(const std::string& path) {
  ProfileFile profile;
  std::string why;
  // Missing or unreadable: an empty profile, every default.
  const bool unreadable = profile.Load(path, &why) == ProfileFile::LoadStatus::kUnreadable;
  Settings& s = AppSettings();
  for (const SettingDef& def : SettingTable()) {
    if (def.member) {
      (s.*def.member) =
          ApplyRangeRule(def.rule, profile.GetInt(def.section, def.key, def.fallback));
      continue;
    }
    s.Registration.clear();
    for (const std::string& key : profile.Keys(def.section)) {
      s.Registration.emplace_back(key, profile.GetString(def.section, key).value_or(""));
    }
  }
  if (unreadable) return Result::Error("Settings not read: " + why + "; the defaults are used");
  return Result::Ok();
}

Result SaveSettings(const std::string& path) {
  // Start from the file as it is now, so that whatever the program does not
  // own (and any edit made while it ran) survives.
  ProfileFile profile;
  std::string why;
  if (profile.Load(path, &why) == ProfileFile::LoadStatus::kUnreadable) {
    return Result::Error("Settings not saved: " + why);
  }
  const Settings& s = AppSettings();
  for (const SettingDef& def : SettingTable()) {
    if (!def.written_at_exit) continue;
    if (def.member) {
      profile.SetInt(def.section, def.key, (s.*def.member).load());
      continue;
    }
    for (const auto& [key, value] : s.Registration) {
      profile.SetString(def.section, key, value);  // a field without a usable name is skipped
    }
  }
  Result saved = profile.Save(path);
  if (!saved.ok) return Result::Error("Settings not saved: " + saved.message);
  return saved;
}

std::string DefaultSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && config[0] == '/') {
    base = config;  // a relative value is ignored, as the base-directory rules ask
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* entry = getpwuid(getuid());
      home = entry ? entry->pw_dir : nullptr;
    }
    base = (home && *home) ? std::string(home) + "/.config" : std::string(".config");
  }
  return base + "/quivera/quivera.ini";
}

}  // namespace quivera
