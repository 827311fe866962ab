#include "art_kit.h"
#include "control_looks.h"
#include "skin_art.h"
#include "ui/skin_roles.h"

// The function menus and the left-button warning.
namespace kr450::skin_art {

QImage PaintWarningMask(const SkinDesign& d) {
  return PaintOutlineMask(d.warning, d.warningOutline);
}

QImage PaintMenu(const MenuDesign& menu, State state, bool arrows) {
  QImage image = NewImage(menu.MaskSize(), QColor(18, 20, 25));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const int h = menu.rowHeight;
  for (int row = 0; row < menu.rows; ++row) {
    const QRect r(0, row * h, menu.width, h);
    p.fillRect(r, Vertical(QRectF(r), QColor(36, 40, 49), QColor(24, 27, 33)));
    // The highlighted row takes the hover face of every control under the pointer; its caption
    // turns red on the dark face.
    if (state == State::Over) {
      p.fillRect(r.adjusted(1, 1, -1, 0), QColor(5, 5, 7));
      PaintHoverFace(p, QRectF(r).adjusted(1.5, 1.5, -1.5, -0.5), 0);
      p.fillRect(QRect(1, r.top() + 1, 3, h - 1), ACCENT);
    } else if (state == State::Down) {
      p.fillRect(r.adjusted(1, 1, -1, 0), QColor(5, 5, 7));
      p.setPen(QPen(ACCENT, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -0.5));
      p.fillRect(QRect(1, r.top() + 1, 6, h - 1), ACCENT);
    }
    // Rows 7 to 10 of the function menu open a submenu.
    if (arrows && row >= 6) {
      QPainterPath arrow(QPointF(menu.width - 14, r.center().y() - 4));
      arrow.lineTo(menu.width - 10, r.center().y() + 0.5);
      arrow.lineTo(menu.width - 14, r.center().y() + 5);
      p.setPen(QPen(state == State::Normal ? MUTED : Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap,
                    Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPath(arrow);
    }
  }
  // Every row starts with a line, and the pixel row under the last closes the frame.
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int row = 0; row <= menu.rows; ++row) {
    p.fillRect(QRect(0, row * h, menu.width, 1), row == 0 ? ACCENT_DARK : QColor(58, 64, 78));
  }
  p.fillRect(QRect(0, 0, 1, image.height()), QColor(70, 78, 92));
  p.fillRect(QRect(menu.width - 1, 0, 1, image.height()), QColor(70, 78, 92));
  return image;
}

QImage PaintMenuMask(const MenuDesign& menu) {
  return NewImage(menu.MaskSize(), Qt::black);
}

QImage PaintWarning(const SkinDesign& d, State state) {
  QImage image = NewImage(d.warning, OUTSIDE);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPainterPath outline = OutlinePath(d.warningOutline);
  p.setClipPath(outline);
  p.fillRect(QRect(QPoint(0, 0), d.warning),
             Vertical(QRectF(0, 0, 1, d.warning.height()), QColor(32, 36, 45), QColor(13, 14, 18)));
  p.fillRect(QRectF(0, 0, d.warning.width(), 46),
             Vertical(QRectF(0, 0, 1, 46), QColor(70, 16, 22), QColor(30, 10, 14)));
  p.fillRect(QRectF(0, 46, d.warning.width(), 2), ACCENT);
  p.setClipping(false);
  // A warning sign and the title.
  QPolygonF sign({QPointF(30, 12), QPointF(44, 36), QPointF(16, 36)});
  p.setPen(QPen(QColor(255, 210, 60), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(255, 200, 40));
  p.drawPolygon(sign);
  p.setFont(LatinFont(14, true));
  p.setPen(QColor(30, 20, 10));
  p.drawText(QRectF(16, 17, 28, 20), Qt::AlignCenter, "!");
  p.setFont(CjkFont(15, true));
  p.setPen(Qt::white);
  p.drawText(QPoint(54, 30), QString::fromUtf8("左键保护"));
  p.setPen(QPen(ACCENT_DARK, 3));
  p.setBrush(Qt::NoBrush);
  p.drawPath(outline);
  FillRounded(p, QRectF(d.warningItems[warning_item::MESSAGE].rect).adjusted(0.5, 0.5, -0.5, -0.5),
              3, QColor(10, 11, 14), QPen(PANEL_EDGE, 1));
  for (int item : {warning_item::CONFIRM, warning_item::CANCEL}) {
    PaintControl(p, d, d.warningItems[static_cast<size_t>(item)], state, std::nullopt);
  }
  return image;
}

}  // namespace kr450::skin_art
