// The Port page's rules that need no window: the colour of the port's LED for
// each LED state and blink phase, and the range and default of the link error
// rate settings (whose limits are the station's, in present/ler_limits.h).
#pragma once

#include <cstdint>

#include "present/ler_limits.h"

namespace quivera {

enum class LedColour { Grey, Red, Green };

// The colour the LED shows for 'state' (the adapter's PortLedState) in the
// given blink phase:
//   state 0 Grey/Grey, 1 Red/Red, 2 Red/Grey, 3 Green/Green, 4 Green/Grey,
//   5 Red/Green (phase on/phase off); any other state Grey.
LedColour LedColourFor(uint32_t state, bool phase_on);

// "Grey", "Red" or "Green": the name the printout gives the colour.
const char* LedColourName(LedColour colour);

// The LED's blink phase: every update inverts it and gives the colour of the
// new phase. It starts off, so the first update shows the "on" colour; with
// one update a second states 2, 4 and 5 blink with a period of two seconds.
class LedBlinker {
 public:
  LedColour Update(uint32_t state) {
    phase_on_ = !phase_on_;
    return LedColourFor(state, phase_on_);
  }
  bool phase_on() const { return phase_on_; }

 private:
  bool phase_on_ = false;
};

// The period of the LED timer, in milliseconds.
inline constexpr int kLedTimerMs = 1000;

}  // namespace quivera
