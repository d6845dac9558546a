// The Performance page's rules that need no window: where a gauge stands for
// a value, the value texts, and how the frame gauge scales itself to the
// largest frame count seen.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quivera {

inline constexpr int kGaugeMinimum = 0;
inline constexpr int kGaugeMaximum = 100;

// A gauge position for a percentage, clamped to 0..100 the way a progress bar
// clamps a position outside its range. A fractional percentage is truncated
// toward zero; not-a-number stands at 0.
int GaugePosition(int64_t percent);
int GaugePosition(double percent);

// "37%": the token utilisation in whole percent.
std::string TokenUtilizationText(int32_t percent);
// "0.412%": the byte utilisation with three decimals, whatever the process
// locale ("nan%" / "inf%" for values that are not numbers).
std::string ByteUtilizationText(double percent);

// The frame gauge after one reading.
struct FrameGauge {
  uint32_t largest = 1;              // the largest frame count seen, this reading included
  int position = 0;                  // frames * 100 / largest, 0..100
  std::string value_text;            // the frame count in decimal
  std::array<std::string, 3> scale;  // "0", largest / 2, largest
};

// Scales a reading of 'frames' against 'largest', the largest count seen
// before (1 or more; it only grows). The position is computed without
// overflow for any count.
FrameGauge ScaleFrames(uint32_t largest, uint32_t frames);

}  // namespace quivera
