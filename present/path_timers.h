// FDDI path times travel in units of 80 nanoseconds (one byte time at
// 100 Mbit/s). The three settable PATH bounds are shown and set in whole
// milliseconds, within fixed ranges and in the order
// TVX lower bound <= Max T-Req <= T-Max lower bound; the MAC's negotiated
// timers are shown with five decimals. The Path page and the browser's Path
// form both follow these rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>

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
// 2 062 500. Exact for the bounded values the ranges let through (up to 167).
inline uint32_t MillisecondsToUnits(uint32_t milliseconds) {
  return static_cast<uint32_t>(uint64_t{milliseconds} * 1000000 / 80);
}

// A negotiated MAC timer as the pages show it: the milliseconds of 'units'
// with five decimals, left-aligned in eight characters, then " ms"
// ("8.00000  ms" for 100 000 units). The same text in every process locale.
std::string MacTimerText(uint32_t units);

// The allowed milliseconds of each settable bound, both ends included.
struct PathBoundRange {
  uint32_t min;
  uint32_t max;
};
inline constexpr PathBoundRange kTMaxLowerBoundRange{10, 167};
inline constexpr PathBoundRange kMaxTReqRange{4, 167};
inline constexpr PathBoundRange kTvxLowerBoundRange{0, 5};

// The three settable bounds in whole milliseconds.
struct PathBounds {
  int tmax = 0;  // T-Max lower bound
  int treq = 0;  // Max T-Req
  int tvx = 0;   // TVX lower bound
  bool operator==(const PathBounds&) const = default;
};

// The first bounds-check violation of a path-timer set (values in
// milliseconds), or nullptr when the three values may be written.
const char* CheckPathTimers(uint32_t tmax, uint32_t treq, uint32_t tvx);

// What "Default" writes: 165, 8 and 2 ms.
inline constexpr PathBounds kDefaultPathBounds{165, 8, 2};

// The PathTimers record in the order the adapter takes it: TVX lower bound,
// T-Max lower bound, Max T-Req, each in 80-nanosecond units. Negative
// milliseconds count as 0.
std::array<uint32_t, 3> PathTimersRecord(const PathBounds& bounds);

// The bounds after one slider movement, keeping TVX <= T-Req <= T-Max.
// 'now' holds the positions after the movement, 'before' those recorded at
// the end of the previous movement. In this order, each step seeing the
// effect of the ones before it:
//   1. T-Max went down below T-Req: T-Req follows it down;
//   2. T-Req went up above T-Max: T-Max follows it up;
//   3. T-Req went down below TVX: TVX follows it down;
//   4. TVX went up above T-Req: T-Req follows it up.
// A moved value is held within its own range, as a slider holds it.
PathBounds PushPathBounds(PathBounds now, const PathBounds& before);

}  // namespace quivera
