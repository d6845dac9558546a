// The print surface over a Qt painter: twips (1440 per inch, y upward, so a
// position on the sheet has a negative y) are mapped onto the painter's
// device, whose origin is the top-left corner of the printable area. Used on
// a QPrinter, whether it prints to paper or to a PDF file.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <string>

#include "present/print_frame.h"
#include "present/print_surface.h"

class QPainter;
class QPaintDevice;
class QPrinter;

namespace quivera {

class QtPrintSurface : public PrintSurface {
 public:
  // Draws with 'painter', which must be active on a device; the device's
  // logical resolution gives the scale, times 'sheet_scale' for a sheet
  // drawn smaller to fit its paper (fonts, positions and pens alike, so that
  // twips on the surface keep their proportions). The surface starts with no
  // font of its own selected (the painter's font is used until SelectFont).
  explicit QtPrintSurface(QPainter& painter, double sheet_scale = 1.0);

  PrintFont SelectFont(const PrintFont& font) override;
  int LineHeight() override;
  void Text(int x, int y, const std::string& text) override;
  void Rectangle(int left, int top, int right, int bottom) override;

  // Device units per twip.
  double Scale() const { return scale_; }

 private:
  double DeviceX(int x) const;
  double DeviceY(int y) const;

  QPainter& painter_;
  double scale_;
  PrintFont selected_;
};

// The printable area of 'printer' in twips (its page rectangle, inside the
// margins the printer cannot reach).
SheetExtent PrintableArea(const QPrinter& printer);

// Draws one sheet ('print' draws it, once, on the surface it is given) with
// 'painter', drawn smaller as a whole when its boxes and texts, measured in
// the device's fonts, reach past 'printable'. Returns the scale used (1 when
// the sheet fits).
double PrintSheetFitted(QPainter& painter, const SheetExtent& printable,
                        const std::function<void(PrintSurface&)>& print);

// The Qt font for 'font' on a device with 'device_units_per_twip': a negative
// height is the character (em) height, a positive one the cell height (ascent
// plus descent), both in twips.
QFont MakePrintFont(const PrintFont& font, double device_units_per_twip);

}  // namespace quivera
