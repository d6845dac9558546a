// The station's link error rate limits: the LER cutoff and alarm are
// exponents (10^-n) the adapter takes within one range, and "Default" sets
// both to one value. The Port page's sliders, the browser's LER form and the
// SNMP sets all follow these rules.
#pragma once

#include <cstdint>

namespace quivera {

inline constexpr int kLerMinimum = 5;
inline constexpr int kLerMaximum = 8;
inline constexpr int kLerDefault = 5;

// The first violation of a LER set, or nullptr when both may be written.
const char* CheckLerLimits(uint32_t cutoff, uint32_t alarm);

}  // namespace quivera
