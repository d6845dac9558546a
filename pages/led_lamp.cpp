// Drawing the LED lamps: a bezel, a body shaded from its colour's light tone
// to its dark tone, and a highlight, so a lit lamp reads as glowing and a
// dark one as off.
#include "pages/led_lamp.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace quivera {

namespace {

struct LampTones {
  QColor light;
  QColor dark;
};

LampTones TonesOf(LedColour colour) {
  switch (colour) {
    case LedColour::Green:
      return {QColor(0x9C, 0xFF, 0x8A), QColor(0x0B, 0x8A, 0x1E)};
    case LedColour::Red:
      return {QColor(0xFF, 0x9A, 0x8A), QColor(0xB0, 0x10, 0x10)};
    case LedColour::Grey:
    default:
      return {QColor(0xC8, 0xC8, 0xC8), QColor(0x5A, 0x5A, 0x5A)};
  }
}

QImage DrawLamp(LedColour colour, int size) {
  QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF whole(0.5, 0.5, size - 1.0, size - 1.0);

  // The bezel.
  painter.setPen(QPen(QColor(0x30, 0x30, 0x30), std::max(1.0, size / 16.0)));
  painter.setBrush(QColor(0x80, 0x80, 0x80));
  painter.drawEllipse(whole);

  // The body, lit from the upper left.
  const LampTones tones = TonesOf(colour);
  const QRectF body = whole.adjusted(size / 8.0, size / 8.0, -size / 8.0, -size / 8.0);
  QRadialGradient shade(body.center(), body.width() / 2.0,
                        body.center() - QPointF(body.width() / 5.0, body.height() / 5.0));
  shade.setColorAt(0.0, tones.light);
  shade.setColorAt(1.0, tones.dark);
  painter.setPen(Qt::NoPen);
  painter.setBrush(shade);
  painter.drawEllipse(body);

  // The highlight.
  const QRectF glint(body.left() + body.width() * 0.22, body.top() + body.height() * 0.16,
                     body.width() * 0.28, body.height() * 0.2);
  painter.setBrush(QColor(255, 255, 255, 150));
  painter.drawEllipse(glint);
  return picture;
}

}  // namespace

QPixmap LedLampPixmap(LedColour colour, int size) {
  size = std::max(size, 8);
  // Kept as images: they may outlive the application object, pixmaps may not.
  static QHash<quint64, QImage> drawn;
  const quint64 key = (static_cast<quint64>(colour) << 32) | static_cast<quint32>(size);
  auto found = drawn.find(key);
  if (found == drawn.end()) found = drawn.insert(key, DrawLamp(colour, size));
  return QPixmap::fromImage(*found);
}

}  // namespace quivera
