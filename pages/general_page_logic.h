// The General page's rules that need no window: its statistics, how the
// adapter's texts and firmware revision become display texts, the receive
// filter flags, and how clearing moves a statistic's baseline.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "adapter/management_item.h"

namespace quivera {

// The driver statistics in display order, each with the item it is read from.
struct GeneralStatistic {
  const char* label;
  ManagementItem item;
};
inline constexpr size_t kGeneralStatistics = 6;
std::span<const GeneralStatistic, kGeneralStatistics> GeneralStatistics();

// The receive filter check boxes, one per row of ReceiveFilterBits().
inline constexpr size_t kReceiveFilterBoxes = 6;
using ReceiveFilterFlags = std::array<bool, kReceiveFilterBoxes>;

// One flag per receive filter check box, top to bottom: Directed 0x01,
// Multicast 0x02, All Multicast 0x04, Broadcast 0x08, SMT 0x40,
// Promiscuous 0x20. Other bits are ignored.
ReceiveFilterFlags ReceiveFilterFlagsFor(uint32_t bits);

// An adapter text as delivered in a buffer of 'length' bytes: the bytes up to
// the first NUL, or all of them when there is none.
std::string AdapterText(const char* buffer, size_t length);

// The count shown for a General page statistic: the value read minus its
// baseline, both 32-bit driver counters, taken modulo 2^32 and shown
// unsigned. So the count since a clear stays right when the counter wraps
// past 0xFFFFFFFF after it (cleared at 0xFFFFFFF0, read 5: 21), and a count
// past 2^31 never shows negative.
uint32_t CountSinceClear(uint32_t value, uint32_t baseline);

// The count a signed counter field shows (the MAC page's ring purge errors):
// the value read minus its baseline, taken as whole numbers, so every count
// from 0 to 4294967295 shows as itself and a value below the baseline (the
// adapter restarted its counts) shows negative.
int64_t StatisticSinceBaseline(uint32_t value, uint32_t baseline);

// The baseline after clearing, given the number the field shows: the shown
// count added to the old baseline (modulo 2^32), which is the value the field
// was drawn from, so that the next refresh shows the count since that moment.
uint32_t BaselineAfterClear(uint32_t baseline, int64_t shown);

}  // namespace quivera
