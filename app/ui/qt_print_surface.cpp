// Twips onto a Qt painter.
#include "app/ui/qt_print_surface.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dialogs/font_faces.h"
#include "dialogs/ui_text.h"
#include "present/recording_surface.h"

namespace quivera {

namespace {

constexpr double kTwipsPerInch = 1440.0;
// Boxes are outlined with a pen of half a point, which reads like the thin
// default pen of a 300 dpi printer.
constexpr double kBoxPenTwips = 10.0;
// The em size used to measure a family's cell-to-em ratio.
constexpr double kProbePixels = 1000.0;

// Windows weights and Qt 6 weights share the 100..900 scale.
QFont::Weight QtWeight(int weight) {
  if (weight <= 0) return QFont::Normal;
  return static_cast<QFont::Weight>(std::clamp(weight, 100, 900));
}

}  // namespace

QFont MakePrintFont(const PrintFont& font, double device_units_per_twip) {
  QFont qfont(ResolveFontFamily(font.face));
  qfont.setWeight(QtWeight(font.weight));
  qfont.setItalic(false);
  qfont.setUnderline(false);
  qfont.setStrikeOut(false);
  // The modern family: fixed pitch.
  if ((font.pitch_and_family & 0xF0) == 48) qfont.setStyleHint(QFont::TypeWriter);
  qfont.setHintingPreference(QFont::PreferNoHinting);
  double em_twips = std::abs(font.height);
  if (font.height > 0) {
    QFont probe = qfont;
    probe.setPixelSize(static_cast<int>(kProbePixels));
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0) em_twips = font.height * kProbePixels / cell;
  }
  if (em_twips <= 0) em_twips = 280;
  qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(em_twips * device_units_per_twip))));
  return qfont;
}

QtPrintSurface::QtPrintSurface(QPainter& painter, double sheet_scale)
    : painter_(painter),
      scale_((painter.device() != nullptr ? painter.device()->logicalDpiY() / kTwipsPerInch : 1.0) *
             (sheet_scale > 0 ? sheet_scale : 1.0)) {
  selected_.face.clear();
  selected_.height = 0;
}

PrintFont QtPrintSurface::SelectFont(const PrintFont& font) {
  PrintFont previous = selected_;
  selected_ = font;
  if (!font.face.empty()) painter_.setFont(MakePrintFont(font, scale_));
  return previous;
}

int QtPrintSurface::LineHeight() {
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  const double device = metrics.ascent() + metrics.descent() + metrics.leading();
  return static_cast<int>(std::lround(device / scale_));
}

void QtPrintSurface::Text(int x, int y, const std::string& text) {
  // The reference point is the top-left corner of the text's cell.
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  painter_.setPen(Qt::black);
  painter_.drawText(QPointF(DeviceX(x), DeviceY(y) + metrics.ascent()), ToQString(text));
}

void QtPrintSurface::Rectangle(int left, int top, int right, int bottom) {
  const QRectF box =
      QRectF(QPointF(DeviceX(left), DeviceY(top)), QPointF(DeviceX(right), DeviceY(bottom)))
          .normalized();
  QPen pen(Qt::black);
  pen.setWidthF(std::max(1.0, kBoxPenTwips * scale_));
  painter_.setPen(pen);
  painter_.setBrush(Qt::white);
  painter_.drawRect(box);
  painter_.setBrush(Qt::NoBrush);
}

SheetExtent PrintableArea(const QPrinter& printer) {
  // A point is 20 twips.
  const QRectF page = printer.pageRect(QPrinter::Point);
  return SheetExtent{static_cast<int>(std::floor(page.width() * 20)),
                     static_cast<int>(std::floor(page.height() * 20))};
}

double PrintSheetFitted(QPainter& painter, const SheetExtent& printable,
                        const std::function<void(PrintSurface&)>& print) {
  QPaintDevice* device = painter.device();
  const double unit = device != nullptr ? device->logicalDpiY() / kTwipsPerInch : 1.0;
  // The sheet drawn once without ink, in the fonts the device will use, then
  // replayed onto the device at the scale that fits.
  RecordingSurface measure([device, unit](const PrintFont& font) {
    const QFontMetricsF metrics(MakePrintFont(font, unit), device);
    return static_cast<int>(
        std::lround((metrics.ascent() + metrics.descent() + metrics.leading()) / unit));
  });
  print(measure);
  const SheetExtent reach = measure.Extent([device, unit](const PrintFont& font,
                                                          const std::string& text) {
    const QFontMetricsF metrics(MakePrintFont(font, unit), device);
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(ToQString(text)) / unit));
  });
  const double scale = SheetFitScale(reach, printable);
  QtPrintSurface surface(painter, scale);
  measure.Replay(surface);
  return scale;
}

double QtPrintSurface::DeviceX(int x) const { return x * scale_; }
double QtPrintSurface::DeviceY(int y) const { return -y * scale_; }

}  // namespace quivera
