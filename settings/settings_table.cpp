// The table of settings: sections, names, defaults, and whether each value is
// written back at exit.
#include "settings/settings_table.h"

#include <array>

namespace quivera {
namespace {

constexpr char kPreferences[] = "Preferences";
constexpr char kState[] = "State";
constexpr char kRegistration[] = "Registration";

const std::array<SettingDef, 13> kTable = {{
    {kPreferences, "RefreshRate", 1, &Settings::RefreshRate, true, RangeRule::kRefreshRate},
    {kPreferences, "MGTSetOperations", 1, &Settings::MGTSetOperations, true, RangeRule::kNone},
    {kPreferences, "PhysicalAddrFormat", 0, &Settings::PhysicalAddrFormat, true, RangeRule::kNone},
    {kPreferences, "SNMPLabels", 1, &Settings::SNMPLabels, true, RangeRule::kNone},
    {kPreferences, "TranslateAddr", 0, &Settings::TranslateAddr, true, RangeRule::kNone},
    {kPreferences, "RingOpWarning", 0, &Settings::RingOpWarning, true, RangeRule::kNone},
    {kState, "ActivePage", 0, &Settings::ActivePage, true, RangeRule::kActivePage},
    {kRegistration, nullptr, 0, nullptr, true, RangeRule::kNone},
    {kState, "TestMode", 0, &Settings::TestMode, false, RangeRule::kNone},
    {kState, "WebPortID", 80, &Settings::WebPortID, true, RangeRule::kNone},
    {kState, "WebServerEnable", 1, &Settings::WebServerEnable, true, RangeRule::kNone},
    {kState, "ClearFlash", 0, &Settings::ClearFlash, false, RangeRule::kNone},
    {kState, "AnyOldDriver", 0, &Settings::AnyOldDriver, false, RangeRule::kNone},
}};

}  // namespace

std::span<const SettingDef> SettingTable() { return kTable; }

int32_t ApplyRangeRule(RangeRule rule, int32_t value) {
  switch (rule) {
    case RangeRule::kRefreshRate:
      return (value > 60 || value < 1) ? 1 : value;
    case RangeRule::kActivePage:
      // A negative page index would name no page at all, so it is corrected
      // like the other values outside the sheet.
      return (value <= 0 || value > 9) ? 0 : value;
    case RangeRule::kNone:
      break;
  }
  return value;
}

}  // namespace quivera
