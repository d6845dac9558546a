// Dialog-unit arithmetic of the page templates.
#include "pages/page_layout_logic.h"

#include <cstdint>

namespace quivera {

namespace {

// units * base / divisor rounded to nearest, halves away from zero, without
// overflowing for any int inputs.
int ScaleRounded(int units, int base, int divisor) {
  if (base <= 0) return 0;
  const int64_t product = static_cast<int64_t>(units) * base;
  const int64_t half = divisor / 2;
  const int64_t scaled = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  return static_cast<int>(scaled);
}

}  // namespace

int BaseUnitXFromAlphabetWidth(int alphabet_width) {
  if (alphabet_width <= 0) return 0;
  return (alphabet_width / 26 + 1) / 2;
}

int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) {
  return ScaleRounded(units, base.x, 4);
}

int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) {
  return ScaleRounded(units, base.y, 8);
}

}  // namespace quivera
