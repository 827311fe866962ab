#include "mouse_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace kr450::skin_art {
namespace {

// Mouse units to pixels of `bounds`.
struct Units {
  double x0, y0, scale;
  explicit Units(const QRect& bounds)
      : x0(bounds.x()), y0(bounds.y()), scale(bounds.width() / MOUSE_UNITS_WIDE) {}
  QPointF P(double x, double y) const { return {x0 + x * scale, y0 + y * scale}; }
  int X(double x) const { return static_cast<int>(std::lround(x0 + x * scale)); }
  int Y(double y) const { return static_cast<int>(std::lround(y0 + y * scale)); }
  double L(double length) const { return length * scale; }
};

// The light strips, the emblem and the trim when the lights are off.
const QColor UNLIT(58, 62, 70);

struct UnitRect {
  double left, top, right, bottom;
};

// Button areas in mouse units; neighbours share an edge, so their pixel rectangles touch
// without overlapping.
UnitRect ButtonArea(int button) {
  switch (button) {
    case 1:
      return {6, 2, 43, 66};
    case 2:
      return {57, 2, 94, 66};
    case 3:
      return {43, 10, 57, 46};
    case 4:
      return {-4, 78, 9, 103};
    case 5:
      return {-4, 105, 9, 130};
    default:
      return {43, 47, 57, 64};
  }
}

QPainterPath BodyPath(const Units& u) {
  QPainterPath path(u.P(50, 2));
  path.cubicTo(u.P(78, 2), u.P(92, 18), u.P(92, 52));
  path.cubicTo(u.P(92, 88), u.P(100, 118), u.P(97, 144));
  path.cubicTo(u.P(93, 168), u.P(72, 176), u.P(50, 176));
  path.cubicTo(u.P(28, 176), u.P(8, 168), u.P(4, 146));
  path.cubicTo(u.P(1, 122), u.P(10, 96), u.P(8, 52));
  path.cubicTo(u.P(7, 18), u.P(22, 2), u.P(50, 2));
  return path;
}

// The front of the body above the line where the buttons end.
QPainterPath ButtonsZone(const Units& u, bool left) {
  QPainterPath zone(u.P(left ? -10 : 110, -10));
  zone.lineTo(u.P(50, -10));
  zone.lineTo(u.P(50, 72));
  zone.quadTo(u.P(left ? 28 : 72, 70), u.P(left ? -10 : 110, 60));
  zone.closeSubpath();
  return BodyPath(u).intersected(zone);
}

QPainterPath WheelPath(const Units& u) {
  QPainterPath path;
  path.addRoundedRect(QRectF(u.P(44.5, 13), u.P(55.5, 43)), u.L(5), u.L(5));
  return path;
}

QPainterPath DpiButtonPath(const Units& u) {
  QPainterPath path;
  path.addRoundedRect(QRectF(u.P(45, 49), u.P(55, 62)), u.L(3), u.L(3));
  return path;
}

QPainterPath SideButtonPath(const Units& u, bool front) {
  const double top = front ? 80 : 107;
  QPainterPath path;
  path.addRoundedRect(QRectF(u.P(-2.5, top), u.P(7.5, top + 21)), u.L(4), u.L(4));
  return path;
}

void PaintBody(QPainter& p, const Units& u) {
  const QPainterPath body = BodyPath(u);
  QRadialGradient shell(u.P(50, 120), u.L(95), u.P(40, 110));
  shell.setColorAt(0.0, QColor(70, 76, 88));
  shell.setColorAt(0.55, QColor(38, 42, 50));
  shell.setColorAt(1.0, QColor(14, 15, 18));
  p.fillPath(body, shell);
  p.setPen(QPen(QColor(95, 102, 116), u.L(1.0)));
  p.drawPath(body);
}

// `trim` is the colour of the lit trim: the lighting colour, or UNLIT.
void PaintButtons(QPainter& p, const Units& u, QColor trim) {
  for (bool left : {true, false}) {
    const QPainterPath zone = ButtonsZone(u, left);
    QLinearGradient face(u.P(left ? 10 : 90, 0), u.P(50, 60));
    face.setColorAt(0.0, QColor(52, 57, 66));
    face.setColorAt(1.0, QColor(30, 33, 39));
    p.fillPath(zone, face);
    p.setPen(QPen(QColor(18, 19, 22), u.L(1.2)));
    p.drawPath(zone);
  }
  // Trim along the end of the buttons and at the cable's entry, lit like the strips.
  p.setPen(QPen(trim, u.L(0.9)));
  QPainterPath line(u.P(12, 60));
  line.quadTo(u.P(50, 78), u.P(88, 60));
  p.drawPath(line);
  p.drawLine(u.P(50, 4), u.P(50, 12));
}

void PaintControls(QPainter& p, const Units& u, QColor trim) {
  QLinearGradient rubber(u.P(44, 0), u.P(56, 0));
  rubber.setColorAt(0.0, QColor(20, 21, 24));
  rubber.setColorAt(0.5, QColor(74, 78, 88));
  rubber.setColorAt(1.0, QColor(20, 21, 24));
  p.fillPath(WheelPath(u), rubber);
  p.setPen(QPen(QColor(12, 12, 14), u.L(0.6)));
  for (double y = 15.5; y < 42; y += 2.6) p.drawLine(u.P(45.5, y), u.P(54.5, y));
  p.setPen(QPen(QColor(120, 126, 140), u.L(0.6)));
  p.drawPath(WheelPath(u));

  p.fillPath(DpiButtonPath(u), QColor(26, 28, 33));
  p.setPen(QPen(QColor(130, 136, 150), u.L(0.6)));
  p.drawPath(DpiButtonPath(u));
  p.setPen(QPen(trim, u.L(0.8)));
  p.drawLine(u.P(47.5, 55.5), u.P(52.5, 55.5));

  for (bool front : {true, false}) {
    QLinearGradient side(u.P(-2, 0), u.P(8, 0));
    side.setColorAt(0.0, QColor(90, 96, 108));
    side.setColorAt(1.0, QColor(34, 37, 43));
    p.fillPath(SideButtonPath(u, front), side);
    p.setPen(QPen(QColor(14, 15, 18), u.L(0.7)));
    p.drawPath(SideButtonPath(u, front));
  }
}

void PaintLights(QPainter& p, const Units& u, std::optional<QColor> lights) {
  const QColor on = lights.value_or(UNLIT);
  // Light strips along both flanks of the palm rest.
  QPainterPath strip(u.P(12, 128));
  strip.cubicTo(u.P(14, 152), u.P(30, 166), u.P(50, 168));
  strip.cubicTo(u.P(70, 166), u.P(86, 152), u.P(88, 128));
  if (lights) {
    QColor glow = on;
    glow.setAlpha(90);
    p.setPen(QPen(glow, u.L(5), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(strip);
  }
  p.setPen(QPen(on, u.L(1.6), Qt::SolidLine, Qt::RoundCap));
  p.drawPath(strip);

  // The emblem on the palm rest: a hexagon with a chevron.
  QPolygonF hexagon;
  for (int i = 0; i < 6; ++i) {
    const double angle = M_PI / 3 * i + M_PI / 6;
    hexagon << u.P(50 + 11 * std::cos(angle), 118 + 11 * std::sin(angle));
  }
  if (lights) {
    QRadialGradient halo(u.P(50, 118), u.L(26));
    QColor inner = on;
    inner.setAlpha(150);
    QColor outer = on;
    outer.setAlpha(0);
    halo.setColorAt(0.0, inner);
    halo.setColorAt(1.0, outer);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(u.P(50, 118), u.L(26), u.L(26));
    p.setBrush(Qt::NoBrush);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(on, u.L(1.4)));
  p.drawPolygon(hexagon);
  QPainterPath chevron(u.P(44, 114));
  chevron.lineTo(u.P(50, 122));
  chevron.lineTo(u.P(56, 114));
  p.setPen(QPen(on, u.L(2.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(chevron);
  // The wheel glows with the same colour.
  if (lights) {
    QColor wheel = on;
    wheel.setAlpha(110);
    p.fillPath(WheelPath(u), wheel);
  }
}

void PaintCable(QPainter& p, const QRect& bounds, const Units& u) {
  QPainterPath cable(u.P(50, 3));
  cable.cubicTo(u.P(50, -6), u.P(54, -8), u.P(54, (bounds.y() - 6 - u.y0) / u.scale));
  p.setPen(QPen(QColor(30, 32, 36), u.L(3.2), Qt::SolidLine, Qt::RoundCap));
  p.drawPath(cable);
  p.setPen(QPen(QColor(70, 74, 82), u.L(1.0), Qt::SolidLine, Qt::RoundCap));
  p.drawPath(cable);
}

}  // namespace

QRect MouseButtonRect(const QRect& bounds, int button) {
  const Units u(bounds);
  const UnitRect area = ButtonArea(button);
  const int left = u.X(area.left);
  const int top = u.Y(area.top);
  return QRect(left, top, u.X(area.right) - left, u.Y(area.bottom) - top);
}

QPoint MouseButtonAnchor(const QRect& bounds, int button) {
  const Units u(bounds);
  switch (button) {
    case 1:
      return u.P(24, 30).toPoint();
    case 2:
      return u.P(76, 30).toPoint();
    case 3:
      return u.P(50, 28).toPoint();
    case 4:
      return u.P(1, 90).toPoint();
    case 5:
      return u.P(1, 117).toPoint();
    default:
      return u.P(50, 56).toPoint();
  }
}

QPainterPath MouseButtonPath(const QRect& bounds, int button) {
  const Units u(bounds);
  switch (button) {
    case 1:
      return ButtonsZone(u, true);
    case 2:
      return ButtonsZone(u, false);
    case 3:
      return WheelPath(u);
    case 4:
      return SideButtonPath(u, true);
    case 5:
      return SideButtonPath(u, false);
    default:
      return DpiButtonPath(u);
  }
}

void PaintMouse(QPainter& painter, const QRect& bounds, std::optional<QColor> lights) {
  const Units u(bounds);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintCable(painter, bounds, u);
  // A soft shadow under the mouse.
  QRadialGradient shadow(u.P(50, 96), u.L(90));
  shadow.setColorAt(0.0, QColor(0, 0, 0, 150));
  shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(shadow);
  painter.drawEllipse(u.P(50, 96), u.L(70), u.L(100));
  // Outlines below are strokes only.
  painter.setBrush(Qt::NoBrush);
  PaintBody(painter, u);
  PaintButtons(painter, u, lights.value_or(UNLIT));
  PaintControls(painter, u, lights.value_or(UNLIT));
  PaintLights(painter, u, lights);
  painter.restore();
}

}  // namespace kr450::skin_art
