// Dialog units: the pages are laid out like dialog templates whose sizes are
// given in units of the dialog font (a quarter of the average character
// width across, an eighth of the character height down), so that a page
// keeps its proportions whatever font the desktop uses.
#pragma once

namespace quivera {

// The size of every property page, in dialog units.
inline constexpr int kPageWidthUnits = 300;
inline constexpr int kPageHeightUnits = 186;

struct DialogBaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

// The horizontal base unit from the pixel width of the 52 letters "A".."Z"
// and "a".."z" in the dialog font: their average width, rounded to nearest.
// 0 for a width of 0 or less.
int BaseUnitXFromAlphabetWidth(int alphabet_width);

// Pixels of 'units' horizontal / vertical dialog units, rounded to nearest
// (halves away from zero). 0 when the base unit is 0 or less.
int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base);

}  // namespace quivera
