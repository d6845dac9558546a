// Loading the settings from the profile file at start and writing the ones
// the program owns back at exit.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "settings/profile_file.h"
#include "settings/settings.h"
#include "settings/settings_table.h"

namespace quivera {

namespace {

// How old a temporary file of an earlier save must be before a save takes it
// for a leftover: a save in progress is much younger.
constexpr std::time_t kLeftoverAge = 60 * 60;

// True when 'name' is "<target name>.tmp-" followed by the six letters and
// digits mkstemp puts there: the temporary file of a save of that target.
bool IsSaveTemporary(const std::string& name, const std::string& target_name) {
  const std::string prefix = target_name + ".tmp-";
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    const char c = name[i];
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!alnum) return false;
  }
  return true;
}

// Removes the temporary files that saves of 'target' left behind when they
// were killed before their rename: regular files (never a link) of this user,
// older than kLeftoverAge. Anything that cannot be looked at stays.
void RemoveSaveLeftovers(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  const std::string target_name = path.filename().string();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (!IsSaveTemporary(name, target_name)) continue;
    struct stat info {};
    if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != geteuid()) continue;
    if (now - info.st_mtime < kLeftoverAge) continue;
    unlinkat(dirfd(dir), name.c_str(), 0);
  }
  closedir(dir);
}

}  // namespace

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
  // A save killed between its temporary file and the rename left that file
  // behind; this one went through, so older ones are litter.
  RemoveSaveLeftovers(SaveTarget(path));
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
