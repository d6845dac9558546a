// LED colours of the Port page.
#include "pages/port_page_logic.h"

#include <array>

namespace quivera {

namespace {

struct LedRow {
  LedColour on;
  LedColour off;
};

// By LED state 0..5; any other state is dark.
constexpr std::array<LedRow, 6> kLedRows = {{
    {LedColour::Grey, LedColour::Grey},
    {LedColour::Red, LedColour::Red},
    {LedColour::Red, LedColour::Grey},
    {LedColour::Green, LedColour::Green},
    {LedColour::Green, LedColour::Grey},
    {LedColour::Red, LedColour::Green},
}};

}  // namespace

LedColour LedColourFor(uint32_t state, bool phase_on) {
  if (state >= kLedRows.size()) return LedColour::Grey;
  const LedRow& row = kLedRows[state];
  return phase_on ? row.on : row.off;
}

const char* LedColourName(LedColour colour) {
  switch (colour) {
    case LedColour::Red:
      return "Red";
    case LedColour::Green:
      return "Green";
    case LedColour::Grey:
    default:
      return "Grey";
  }
}

}  // namespace quivera
