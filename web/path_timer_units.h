// FDDI path times travel in units of 80 nanoseconds; the web forms show and
// take them in whole milliseconds.
#pragma once

#include <cstdint>

namespace quivera {

// Whole milliseconds of 'units' (remainder dropped): 2 062 500 units are
// 165 ms, anything below 12 500 units is 0. Computed in 64 bits, so no value
// the adapter can deliver wraps.
inline uint32_t UnitsToMilliseconds(uint32_t units) {
  return static_cast<uint32_t>(uint64_t{units} * 80 / 1000000);
}

// Nanoseconds of 'units', exact for every 32-bit value.
inline uint64_t UnitsToNanoseconds(uint32_t units) { return uint64_t{units} * 80; }

// 80-nanosecond units of 'milliseconds' (remainder dropped): 165 ms gives
// 2 062 500. Exact for the bounded values the checks let through (up to 167).
inline uint32_t MillisecondsToUnits(uint32_t milliseconds) {
  return static_cast<uint32_t>(uint64_t{milliseconds} * 1000000 / 80);
}

}  // namespace quivera
