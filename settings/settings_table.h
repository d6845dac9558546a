// The settings as data: one row per value of the profile, in the order they
// are read at start and written at exit. Loading, saving and resetting all
// walk this one table.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "settings/settings.h"

namespace quivera {

// The correction a value gets when it is read from the file.
enum class RangeRule {
  kNone,
  kRefreshRate,  // above 60 or below 1 gives 1
  kActivePage,   // 0, above 9, or below 0 gives 0 (9 stays 9)
};

struct SettingDef {
  const char* section;
  // The value's name; null for the row that stands for the whole
  // "Registration" section (its fields are texts, read and written in the
  // place of this row).
  const char* key;
  int32_t fallback;
  std::atomic<int32_t> Settings::*member;  // null for the "Registration" row
  bool written_at_exit;                    // false for the hidden values
  RangeRule rule;
};

// The rows in reading order, which is also the writing order of the rows
// written at exit.
std::span<const SettingDef> SettingTable();

// 'value' after the range rule.
int32_t ApplyRangeRule(RangeRule rule, int32_t value);

}  // namespace quivera
