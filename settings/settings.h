// The process-wide settings, read from the INI profile at start and written
// back at exit. Only the window's thread (or the headless run's) writes them;
// the hypertext worker, the SNMP threads and the background fetch's lanes
// may read them at any time, so every number is an atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "settings/result.h"

namespace quivera {

struct Settings {
  // [Preferences]
  std::atomic<int32_t> RefreshRate{1};       // 1..60 seconds between page refreshes
  std::atomic<int32_t> MGTSetOperations{1};  // 1 = management sets disabled
  std::atomic<int32_t> PhysicalAddrFormat{0};
  std::atomic<int32_t> SNMPLabels{1};  // caption style of the pages (see label pairs)
  std::atomic<int32_t> TranslateAddr{0};
  std::atomic<int32_t> RingOpWarning{0};
  // [State]
  std::atomic<int32_t> ActivePage{0};
  std::atomic<int32_t> TestMode{0};  // hidden: never written
  std::atomic<int32_t> WebPortID{80};
  std::atomic<int32_t> WebServerEnable{1};
  std::atomic<int32_t> ClearFlash{0};    // hidden: never written
  std::atomic<int32_t> AnyOldDriver{0};  // hidden: never written
  // [Registration]: key/text pairs of the registration card, in file order;
  // read at start and written back unchanged. User-interface thread only.
  std::vector<std::pair<std::string, std::string>> Registration;
};

// The one process-wide instance.
Settings& AppSettings();

// Whether the hypertext server is switched on: any non-zero "WebServerEnable"
// (the Web Server dialog shows non-zero as checked), at start-up, in the
// headless run and after the dialog alike.
inline bool WebServerEnabled(const Settings& settings = AppSettings()) {
  return settings.WebServerEnable.load() != 0;
}

// Whether management set operations may reach an adapter: "MGTSetOperations"
// is 0. Every write that reaches an adapter (page sets, browser and SNMP
// sets, reset, firmware upgrade, flash clearing) asks this one rule.
inline bool SetOperationsAllowed(const Settings& settings = AppSettings()) {
  return settings.MGTSetOperations.load() == 0;
}

// Puts every value back to its default (start-up, and tests).
void ResetSettings();

// Reads the settings from 'path' in the table's order, applying the range
// rules ("RefreshRate" outside 1..60 gives 1; "ActivePage" above 9 or below
// 0 gives 0, 9 stays 9), and the "Registration" fields in file order. A
// missing file, value or number gives the default. An unreadable file counts
// as missing (every default); the Result then says so, for the user to be
// told, since that file's values are not the ones in force.
Result LoadSettings(const std::string& path);

// Writes the settings the program owns back to 'path', keeping every other
// line of the file, creating missing folders and replacing the file
// atomically. The hidden values ("TestMode", "ClearFlash", "AnyOldDriver")
// are never written: a line holding one stays as it stands. On failure the
// file is left as it was (also when it exists but cannot be read) and the
// Result's message, "Settings not saved: <reason>", says why.
Result SaveSettings(const std::string& path);

// $XDG_CONFIG_HOME/quivera/quivera.ini, or ~/.config/quivera/quivera.ini.
std::string DefaultSettingsPath();

}  // namespace quivera
