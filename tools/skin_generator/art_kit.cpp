#include "art_kit.h"

#include <algorithm>

namespace kr450::skin_art {

QFont CjkFont(int pixels, bool bold) {
  QFont font("WenQuanYi Zen Hei");
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QFont LatinFont(int pixels, bool bold, bool italic) {
  QFont font("DejaVu Sans");
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

QImage NewImage(QSize size, QColor fill) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

QImage PaintOutlineMask(QSize size, const QPolygon& outline) {
  QImage image = NewImage(size, Qt::white);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(outline);
  return image;
}

QRectF Inner(const QRect& rect, double inset) {
  return QRectF(rect).adjusted(inset, inset, -inset, -inset);
}

void FillRounded(QPainter& p, const QRectF& r, double radius, const QBrush& brush,
                 const QPen& pen) {
  p.setPen(pen);
  p.setBrush(brush);
  p.drawRoundedRect(r, radius, radius);
}

QLinearGradient Vertical(const QRectF& r, QColor top, QColor bottom) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0.0, top);
  g.setColorAt(1.0, bottom);
  return g;
}

void DrawCentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                     QColor colour) {
  p.setFont(font);
  p.setPen(colour);
  p.drawText(r, Qt::AlignCenter, text);
}

QPainterPath OutlinePath(const QPolygon& outline) {
  QPainterPath path;
  path.addPolygon(QPolygonF(outline));
  path.closeSubpath();
  return path;
}

void PaintHoverFace(QPainter& p, const QRectF& r, double radius) {
  FillRounded(p, r, radius, Vertical(r, QColor(17, 19, 24), QColor(8, 9, 11)), QPen(HOVER_RIM, 1));
  p.setPen(QColor(255, 255, 255, 36));
  p.drawLine(r.topLeft() + QPointF(radius + 1, 1.5), r.topRight() + QPointF(-radius - 1, 1.5));
}

void PaintSelectedFace(QPainter& p, const QRectF& r, double radius) {
  PaintOutlinedFace(p, r, radius, SELECTED_RIM);
}

void PaintOutlinedFace(QPainter& p, const QRectF& r, double radius, QColor rim) {
  FillRounded(p, r, radius, Vertical(r, QColor(14, 12, 15), QColor(26, 13, 17)), Qt::NoPen);
  // The glow stays within three pixels of the edge, clear of a centred caption.
  p.setBrush(Qt::NoBrush);
  for (int i = 1; i <= 3; ++i) {
    QColor glow = rim;
    glow.setAlpha(150 - 40 * i);
    p.setPen(QPen(glow, 1));
    const double inner = std::max(radius - i, 0.0);
    p.drawRoundedRect(r.adjusted(i + 0.5, i + 0.5, -i - 0.5, -i - 0.5), inner, inner);
  }
  p.setPen(QPen(rim, 2));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  if (r.height() >= 20) {
    const QRectF bar(r.left() + 6, r.bottom() - 4, r.width() - 12, 2);
    QLinearGradient light(bar.topLeft(), bar.topRight());
    QColor clear = rim.lighter(115);
    clear.setAlpha(0);
    light.setColorAt(0.0, clear);
    light.setColorAt(0.5, rim.lighter(125));
    light.setColorAt(1.0, clear);
    p.fillRect(bar, light);
  }
}

void PaintInactiveFace(QPainter& p, const QRectF& r, double radius) {
  FillRounded(p, r, radius, QColor(21, 23, 29), QPen(QColor(33, 36, 44), 1));
}

void PaintTrack(QPainter& p, const QRect& place) {
  const double y = QRectF(place).center().y();
  p.fillRect(QRectF(place.left(), y - 2, place.width(), 4), QColor(8, 9, 11));
  p.fillRect(QRectF(place.left(), y + 1, place.width(), 1), QColor(60, 66, 78));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 98, 112));
  p.drawEllipse(QPointF(QRectF(place).center().x(), y), 2.5, 2.5);
}

}  // namespace kr450::skin_art
