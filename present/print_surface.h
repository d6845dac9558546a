// The seam between page printing and the device it prints on. Coordinates are
// twips (1440 per inch) with the origin at the top-left corner of the
// printable area and y growing upward, so every position on the sheet has a
// negative y. The windowed program implements it over a Qt printer or PDF
// file; tests use a recording surface.
#pragma once

#include <string>

namespace quivera {

struct PrintFont {
  std::string face;           // e.g. "Courier New"
  int height = -280;          // negative: character height; positive: cell height
  int weight = 400;
  int pitch_and_family = 48;  // modern family, default pitch
};

class PrintSurface {
 public:
  virtual ~PrintSurface() = default;

  // Selects 'font' and returns the font that was selected before, so that a
  // caller can restore it.
  virtual PrintFont SelectFont(const PrintFont& font) = 0;
  // The selected font's text height plus its external leading, in twips.
  virtual int LineHeight() = 0;
  // Writes 'text' (8-bit, Windows-1252) with its reference point at (x, y).
  virtual void Text(int x, int y, const std::string& text) = 0;
  // A box from corner (left, top) to corner (right, bottom), outlined black
  // and filled white (so it hides what was drawn under it before).
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
};

}  // namespace quivera
