#include "ui/qt/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace kr450 {
namespace {

constexpr int ICON_SIZES[] = {16, 22, 24, 32, 48, 64, 128, 256};

// A dark rounded tile with the mouse seen from above, its wheel and the lighting strip in
// the window's cyan, so that the icon reads as the mouse at 16 pixels and looks like the
// skin at 256.
void DrawIcon(QPainter& p, double s) {
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient tile(0, 0, 0, s);
  tile.setColorAt(0, QColor(38, 44, 52));
  tile.setColorAt(1, QColor(12, 14, 18));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(0.03 * s, 0.03 * s, 0.94 * s, 0.94 * s), 0.2 * s, 0.2 * s);

  // Glow under the mouse in the lighting colour.
  QRadialGradient glow(QPointF(0.5 * s, 0.58 * s), 0.42 * s);
  glow.setColorAt(0, QColor(0, 200, 255, 150));
  glow.setColorAt(1, QColor(0, 200, 255, 0));
  p.setBrush(glow);
  p.drawEllipse(QPointF(0.5 * s, 0.58 * s), 0.42 * s, 0.42 * s);

  // The body: a rounded shell, narrower at the front.
  QPainterPath body;
  body.moveTo(0.5 * s, 0.14 * s);
  body.cubicTo(0.74 * s, 0.14 * s, 0.78 * s, 0.36 * s, 0.78 * s, 0.56 * s);
  body.cubicTo(0.78 * s, 0.78 * s, 0.66 * s, 0.88 * s, 0.5 * s, 0.88 * s);
  body.cubicTo(0.34 * s, 0.88 * s, 0.22 * s, 0.78 * s, 0.22 * s, 0.56 * s);
  body.cubicTo(0.22 * s, 0.36 * s, 0.26 * s, 0.14 * s, 0.5 * s, 0.14 * s);
  QLinearGradient shell(0.22 * s, 0, 0.78 * s, 0);
  shell.setColorAt(0, QColor(70, 78, 90));
  shell.setColorAt(0.5, QColor(120, 130, 145));
  shell.setColorAt(1, QColor(60, 66, 78));
  p.setBrush(shell);
  p.setPen(QPen(QColor(0, 220, 255), std::max(1.0, 0.025 * s)));
  p.drawPath(body);

  // The split between the two main buttons and the wheel.
  p.setPen(QPen(QColor(20, 24, 30), std::max(1.0, 0.02 * s)));
  p.drawLine(QPointF(0.5 * s, 0.15 * s), QPointF(0.5 * s, 0.44 * s));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 230, 255));
  p.drawRoundedRect(QRectF(0.46 * s, 0.22 * s, 0.08 * s, 0.15 * s), 0.04 * s, 0.04 * s);

  // The stage lights: four dots, the first lit.
  if (s >= 32) {
    for (int i = 0; i < 4; ++i) {
      p.setBrush(i == 0 ? QColor(255, 70, 70) : QColor(0, 200, 255, 160));
      p.drawEllipse(QPointF(0.5 * s, (0.5 + 0.07 * i) * s), 0.022 * s, 0.022 * s);
    }
  }
}

}  // namespace

QImage RenderAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  DrawIcon(painter, size);
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : ICON_SIZES) icon.addPixmap(QPixmap::fromImage(RenderAppIcon(size)));
  return icon;
}

}  // namespace kr450
