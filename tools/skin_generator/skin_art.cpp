#include "skin_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "mouse_art.h"
#include "ui/skin_roles.h"

namespace kr450::skin_art {
namespace {

const QColor OUTSIDE(120, 24, 30);  // what shows if the window's edge is a pixel wider
const QColor ACCENT(232, 52, 60);
const QColor ACCENT_DARK(150, 26, 34);
const QColor PANEL(19, 22, 28);
const QColor PANEL_EDGE(48, 54, 66);
const QColor STEEL(170, 182, 200);
const QColor DIM(70, 76, 88);
const QColor TEXT(226, 230, 238);
const QColor MUTED(128, 136, 150);

QFont CjkFont(int pixels, bool bold = false) {
  QFont font("WenQuanYi Zen Hei");
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QFont LatinFont(int pixels, bool bold = false, bool italic = false) {
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

QRectF Inner(const QRect& rect, double inset) {
  return QRectF(rect).adjusted(inset, inset, -inset, -inset);
}

void FillRounded(QPainter& p, const QRectF& r, double radius, const QBrush& brush, QPen pen) {
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

// ---- Control looks, each kept inside its rectangle.

void PaintButtonLook(QPainter& p, const QRect& rect, State state, bool dark = false) {
  const QRectF r = Inner(rect, 1.5);
  switch (state) {
    case State::Normal:
      if (dark) {
        FillRounded(p, r, 4, Vertical(r, QColor(30, 33, 40), QColor(18, 20, 25)),
                    QPen(QColor(80, 88, 102), 1));
        break;
      }
      FillRounded(p, r, 4, Vertical(r, QColor(46, 52, 63), QColor(28, 32, 40)),
                  QPen(QColor(64, 72, 86), 1));
      p.setPen(QColor(255, 255, 255, 22));
      p.drawLine(r.topLeft() + QPointF(4, 1), r.topRight() + QPointF(-4, 1));
      break;
    case State::Over:
      // Dark under a bright edge, so that red and white captions both read well on it.
      FillRounded(p, r, 4, Vertical(r, QColor(22, 25, 31), QColor(9, 10, 13)), QPen(STEEL, 1.2));
      p.setPen(QColor(255, 255, 255, 70));
      p.drawLine(r.topLeft() + QPointF(4, 1.5), r.topRight() + QPointF(-4, 1.5));
      break;
    case State::Down: {
      FillRounded(p, r, 4, Vertical(r, QColor(14, 15, 19), QColor(30, 20, 24)), QPen(ACCENT, 1.5));
      QRectF bar(r.left() + 6, r.bottom() - 4, r.width() - 12, 2.5);
      QLinearGradient glow(bar.topLeft(), bar.topRight());
      glow.setColorAt(0.0, QColor(232, 52, 60, 0));
      glow.setColorAt(0.5, QColor(255, 90, 90));
      glow.setColorAt(1.0, QColor(232, 52, 60, 0));
      p.fillRect(bar, glow);
      break;
    }
  }
}

void PaintTabLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 1);
  if (state == State::Over) {
    FillRounded(p, r, 3, QColor(255, 255, 255, 22), Qt::NoPen);
    p.fillRect(QRectF(r.left() + 8, r.bottom() - 2, r.width() - 16, 2), STEEL);
  } else if (state == State::Down) {
    FillRounded(p, r, 3, Vertical(r, QColor(92, 20, 26), QColor(40, 12, 16)), QPen(ACCENT_DARK, 1));
    p.fillRect(QRectF(r.left() + 4, r.bottom() - 3, r.width() - 8, 3), ACCENT);
  }
}

void PaintConfigLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 1.5);
  QColor led = DIM;
  if (state == State::Normal) {
    FillRounded(p, r, 4, Vertical(r, QColor(40, 45, 55), QColor(26, 29, 36)),
                QPen(QColor(60, 67, 80), 1));
  } else if (state == State::Over) {
    FillRounded(p, r, 4, Vertical(r, QColor(62, 70, 86), QColor(38, 44, 55)), QPen(STEEL, 1));
    led = QColor(210, 216, 226);
  } else {
    FillRounded(p, r, 4, Vertical(r, QColor(120, 24, 32), QColor(58, 12, 18)), QPen(ACCENT, 1.5));
    led = QColor(255, 120, 120);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 60, 60, 90));
    p.drawEllipse(QPointF(r.left() + 12, r.center().y()), 6, 6);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(led);
  p.drawEllipse(QPointF(r.left() + 12, r.center().y()), 3, 3);
}

void PaintSlotLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 0.5);
  QColor fill(16, 18, 23), edge(52, 58, 70), stripe(74, 80, 94), chevron(120, 128, 142);
  double width = 1;
  if (state == State::Over) {
    fill = QColor(10, 11, 14);
    edge = stripe = ACCENT;
    chevron = TEXT;
  } else if (state == State::Down) {
    fill = QColor(40, 45, 55);
    edge = ACCENT;
    stripe = QColor(255, 100, 100);
    chevron = ACCENT;
    width = 2;
  }
  FillRounded(p, r, 2, fill, QPen(edge, width));
  p.fillRect(QRectF(rect.left() + 1, rect.top() + 3, 3, rect.height() - 6), stripe);
  QPainterPath arrow(QPointF(rect.right() - 16, rect.center().y() - 2));
  arrow.lineTo(rect.right() - 12, rect.center().y() + 2);
  arrow.lineTo(rect.right() - 8, rect.center().y() - 2);
  p.setPen(QPen(chevron, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arrow);
}

void PaintSwitchLook(QPainter& p, const QRect& rect, State state) {
  const QRectF track(rect.center().x() - 20, rect.center().y() - 9, 40, 18);
  if (state == State::Down) {
    QLinearGradient on(track.topLeft(), track.bottomLeft());
    on.setColorAt(0.0, QColor(236, 60, 66));
    on.setColorAt(1.0, QColor(150, 20, 28));
    FillRounded(p, track, 9, on, QPen(QColor(255, 120, 120), 1));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(track.right() - 9, track.center().y()), 6.5, 6.5);
    return;
  }
  const bool over = state == State::Over;
  FillRounded(p, track, 9, over ? QColor(50, 56, 68) : QColor(34, 38, 46),
              QPen(over ? STEEL : QColor(66, 74, 88), 1));
  p.setPen(Qt::NoPen);
  p.setBrush(over ? QColor(214, 220, 230) : QColor(104, 112, 126));
  p.drawEllipse(QPointF(track.left() + 9, track.center().y()), 6.5, 6.5);
}

void PaintCheckLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 1.5);
  const QRectF box(rect.left() + 10, rect.center().y() - 7, 14, 14);
  if (state == State::Normal) {
    FillRounded(p, r, 4, QColor(24, 27, 33), QPen(QColor(52, 58, 70), 1));
    FillRounded(p, box, 2, QColor(16, 18, 22), QPen(QColor(100, 108, 122), 1.2));
    return;
  }
  if (state == State::Over) {
    FillRounded(p, r, 4, QColor(11, 12, 15), QPen(STEEL, 1.2));
    FillRounded(p, box, 2, QColor(46, 52, 63), QPen(QColor(240, 242, 246), 1.4));
    return;
  }
  FillRounded(p, r, 4, QColor(30, 20, 24), QPen(ACCENT, 1.5));
  FillRounded(p, box, 2, ACCENT, QPen(QColor(255, 130, 130), 1));
  QPainterPath tick(box.topLeft() + QPointF(3, 7.5));
  tick.lineTo(box.topLeft() + QPointF(6, 10.5));
  tick.lineTo(box.topLeft() + QPointF(11.5, 3.5));
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(tick);
}

void PaintKnobPlaceLook(QPainter& p, const QRect& rect, State state) {
  const QPointF centre = QRectF(rect).center();
  if (state == State::Over) {
    p.setPen(QPen(STEEL, 1.5));
    p.setBrush(QColor(170, 182, 200, 40));
    p.drawEllipse(centre, 10, 10);
  } else if (state == State::Down) {
    p.setPen(QPen(QColor(255, 120, 120), 1.5));
    p.setBrush(QColor(232, 52, 60, 170));
    p.drawEllipse(centre, 10, 10);
  }
}

void PaintMarkerLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 4);
  QPolygonF triangle({r.topLeft(), QPointF(r.right(), r.center().y()), r.bottomLeft()});
  if (state == State::Down) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 60, 60, 70));
    p.drawEllipse(QRectF(rect).center(), 9, 9);
    p.setPen(QPen(QColor(255, 140, 140), 1));
    p.setBrush(ACCENT);
  } else {
    p.setPen(QPen(DIM, 1.2));
    p.setBrush(Qt::NoBrush);
  }
  p.drawPolygon(triangle);
}

void PaintSwatchLook(QPainter& p, const QRect& rect, State state, int stage) {
  QColor colour = StageColour(stage);
  const QRectF r = Inner(rect, 2);
  if (state == State::Normal) {
    FillRounded(p, r, 3, colour.darker(115), QPen(QColor(10, 10, 12), 1));
    return;
  }
  FillRounded(p, Inner(rect, 0.5), 4, QColor(colour.red(), colour.green(), colour.blue(), 90),
              Qt::NoPen);
  FillRounded(p, r, 3, state == State::Down ? colour.lighter(130) : colour, QPen(Qt::white, 1.5));
}

void PaintPromptLook(QPainter& p, const SkinDesign& d, const Control& c, State state) {
  const QPainterPath button = MouseButtonPath(d.mainMouse, c.param);
  if (state == State::Over) {
    p.fillPath(button, QColor(255, 60, 60, 200));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 220, 220), 1.5));
    p.drawPath(button);
  } else if (state == State::Down) {
    p.fillPath(button, QColor(232, 52, 60, 55));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ACCENT, 1.5));
    p.drawPath(button);
  }
}

void PaintWindowButtonLook(QPainter& p, const QRect& rect, State state, bool close) {
  const QRectF r = Inner(rect, 1);
  QColor icon(150, 158, 172);
  if (state == State::Over) {
    FillRounded(p, r, 3, close ? ACCENT : QColor(64, 72, 88), Qt::NoPen);
    icon = Qt::white;
  } else if (state == State::Down) {
    FillRounded(p, r, 3, close ? ACCENT_DARK : QColor(28, 31, 38), QPen(ACCENT, 1));
    icon = close ? Qt::white : ACCENT;
  }
  const QPointF c = r.center();
  p.setPen(QPen(icon, 2, Qt::SolidLine, Qt::RoundCap));
  if (close) {
    p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
    p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
  } else {
    p.drawLine(c + QPointF(-6, 4), c + QPointF(6, 4));
  }
}

void PaintStatusLook(QPainter& p, const QRect& rect) {
  const QRectF r = Inner(rect, 1.5);
  FillRounded(p, r, 3, QColor(9, 10, 13), QPen(PANEL_EDGE, 1));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 220, 0, 60));
  p.drawEllipse(QPointF(r.left() + 12, r.center().y()), 6, 6);
  p.setBrush(QColor(255, 230, 40));
  p.drawEllipse(QPointF(r.left() + 12, r.center().y()), 3, 3);
}

void PaintLegend(QPainter& p, const QRect& rect) {
  const char* names[] = {"档位1  蓝", "档位2  粉", "档位3  红", "档位4  紫"};
  for (int s = 0; s < 4; ++s) {
    const int column = s % 2, row = s / 2;
    const QRectF chip(rect.left() + 16 + column * 140, rect.top() + 14 + row * 30, 18, 18);
    FillRounded(p, chip, 3, StageColour(s), QPen(QColor(10, 10, 12), 1));
    p.setFont(CjkFont(13));
    p.setPen(TEXT);
    p.drawText(QRectF(chip.right() + 10, chip.top() - 2, 100, 22), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromUtf8(names[s]));
  }
}

void PaintInfoLook(QPainter& p, const Control& c, State state) {
  const QRectF r = Inner(c.rect, 1.5);
  if (state == State::Normal) {
    QPen dashed(QColor(64, 72, 86), 1, Qt::DashLine);
    FillRounded(p, r, 4, QColor(17, 19, 24), dashed);
  } else {
    FillRounded(p, r, 4, QColor(32, 36, 44), QPen(STEEL, 1));
  }
  if (c.role == "legend") PaintLegend(p, c.rect);
}

void PaintValueLook(QPainter& p, const QRect& rect) {
  const QRectF r = Inner(rect, 1.5);
  FillRounded(p, r, 3, QColor(8, 9, 11), QPen(QColor(60, 66, 78), 1));
  p.setPen(QPen(ACCENT, 2));
  const double k = 7;
  p.drawLine(r.topLeft(), r.topLeft() + QPointF(k, 0));
  p.drawLine(r.topLeft(), r.topLeft() + QPointF(0, k));
  p.drawLine(r.bottomRight(), r.bottomRight() - QPointF(k, 0));
  p.drawLine(r.bottomRight(), r.bottomRight() - QPointF(0, k));
}

void PaintPreviewLook(QPainter& p, const SkinDesign& d, const QRect& rect,
                      std::optional<QColor> lights) {
  QRadialGradient back(QRectF(rect).center(), rect.height() * 0.6);
  back.setColorAt(0.0, QColor(30, 34, 42));
  back.setColorAt(1.0, QColor(10, 11, 14));
  FillRounded(p, Inner(rect, 1.5), 4, back, QPen(PANEL_EDGE, 1));
  if (lights) {
    QRadialGradient halo(QRectF(d.previewMouse).center(), d.previewMouse.height() * 0.55);
    QColor inner = *lights, outer = *lights;
    inner.setAlpha(120);
    outer.setAlpha(0);
    halo.setColorAt(0.0, inner);
    halo.setColorAt(1.0, outer);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawRect(Inner(rect, 2));
  }
  PaintMouse(p, d.previewMouse, lights);
}

void PaintControl(QPainter& p, const SkinDesign& d, const Control& c, State state,
                  std::optional<QColor> lights) {
  if (c.rect.isEmpty()) return;
  p.save();
  p.setClipRect(c.rect);
  p.setRenderHint(QPainter::Antialiasing, true);
  switch (c.look) {
    case Look::None:
    case Look::Label:
      break;
    case Look::Button:
      PaintButtonLook(p, c.rect, state, c.param == DARK_BUTTON);
      if (c.role == "record") {
        p.setPen(Qt::NoPen);
        p.setBrush(state == State::Down ? QColor(255, 70, 70) : QColor(200, 40, 48));
        p.drawEllipse(QPointF(c.rect.left() + 78, c.rect.center().y() + 0.5), 5, 5);
      }
      break;
    case Look::Tab:
      PaintTabLook(p, c.rect, state);
      break;
    case Look::Config:
      PaintConfigLook(p, c.rect, state);
      break;
    case Look::Slot:
      PaintSlotLook(p, c.rect, state);
      break;
    case Look::Switch:
      PaintSwitchLook(p, c.rect, state);
      break;
    case Look::Check:
      PaintCheckLook(p, c.rect, state);
      break;
    case Look::StageSelect:
      PaintButtonLook(p, c.rect, state);
      DrawCentredText(p, c.rect, c.paintedText, CjkFont(13),
                      state == State::Over ? Qt::white : TEXT);
      break;
    case Look::KnobPlace:
      PaintKnobPlaceLook(p, c.rect, state);
      break;
    case Look::Marker:
      PaintMarkerLook(p, c.rect, state);
      break;
    case Look::Swatch:
      PaintSwatchLook(p, c.rect, state, c.param);
      break;
    case Look::Prompt:
      PaintPromptLook(p, d, c, state);
      break;
    case Look::Minimise:
    case Look::Close:
      PaintWindowButtonLook(p, c.rect, state, c.look == Look::Close);
      break;
    case Look::Status:
      PaintStatusLook(p, c.rect);
      break;
    case Look::Info:
      PaintInfoLook(p, c, state);
      break;
    case Look::Value:
      PaintValueLook(p, c.rect);
      break;
    case Look::Preview:
      PaintPreviewLook(p, d, c.rect, lights);
      break;
  }
  p.restore();
}

// ---- The parts that are the same in every state.

QPainterPath OutlinePath(const QPolygon& outline) {
  QPainterPath path;
  path.addPolygon(QPolygonF(outline));
  path.closeSubpath();
  return path;
}

void PaintPanel(QPainter& p, const QRect& rect, QBrush fill) {
  FillRounded(p, QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 5, fill, QPen(PANEL_EDGE, 1));
}

void PaintHeading(QPainter& p, const QRect& label) {
  p.fillRect(QRectF(label.left() - 8, label.top() + 5, 3, label.height() - 10), ACCENT);
}

void PaintSectionTitle(QPainter& p, QPoint at, const char* text) {
  p.fillRect(QRectF(at.x() - 8, at.y() - 12, 3, 13), ACCENT);
  p.setFont(CjkFont(13, true));
  p.setPen(TEXT);
  p.drawText(at, QString::fromUtf8(text));
}

void PaintBody(QPainter& p, const SkinDesign& d) {
  const QPainterPath outline = OutlinePath(d.windowOutline);
  p.setClipPath(outline);
  p.fillRect(QRect(QPoint(0, 0), d.window),
             Vertical(QRectF(0, 0, d.window.width(), d.window.height()), QColor(30, 34, 43),
                      QColor(11, 12, 16)));
  // Fine diagonal grain over the whole body.
  p.setPen(QColor(255, 255, 255, 6));
  for (int x = -d.window.height(); x < d.window.width(); x += 6) {
    p.drawLine(x, d.window.height(), x + d.window.height(), 0);
  }
  // The header band with its accent line.
  p.fillRect(QRectF(0, 0, d.window.width(), 62),
             Vertical(QRectF(0, 0, 1, 62), QColor(12, 13, 17), QColor(22, 25, 32)));
  QLinearGradient line(0, 0, d.window.width(), 0);
  line.setColorAt(0.0, QColor(232, 52, 60, 0));
  line.setColorAt(0.5, ACCENT);
  line.setColorAt(1.0, QColor(232, 52, 60, 0));
  p.fillRect(QRectF(0, 61, d.window.width(), 2), line);
  // The footer band.
  p.fillRect(QRectF(0, 568, d.window.width(), 72),
             Vertical(QRectF(0, 568, 1, 72), QColor(20, 23, 29), QColor(9, 10, 13)));
  p.fillRect(QRectF(12, 568, d.window.width() - 24, 1), PANEL_EDGE);
  p.setClipping(false);
  // Border: an accent edge and an inner bevel.
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(ACCENT_DARK, 3));
  p.setBrush(Qt::NoBrush);
  p.drawPath(outline);
  p.setPen(QPen(QColor(255, 255, 255, 28), 1));
  p.drawPath(
      QTransform().translate(400, 320).scale(0.9925, 0.9905).translate(-400, -320).map(outline));
}

void PaintLogo(QPainter& p) {
  p.setFont(LatinFont(26, true, true));
  p.setPen(Qt::white);
  p.drawText(QPoint(30, 47), "KR");
  p.setPen(ACCENT);
  p.drawText(QPoint(72, 47), "-450");
  p.setFont(CjkFont(12));
  p.setPen(MUTED);
  p.drawText(QPoint(150, 46), QString::fromUtf8("宏编程游戏鼠"));
  // Slanted stripes at the crown's sides.
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int i = 0; i < 3; ++i) {
    p.fillRect(QRectF(256 - 7 * i, 24, 3, 22), QColor(232, 52, 60, 200 - 60 * i));
    p.fillRect(QRectF(541 + 7 * i, 24, 3, 22), QColor(232, 52, 60, 200 - 60 * i));
  }
}

void PaintSideBar(QPainter& p) {
  PaintPanel(p, QRect(12, 70, 140, 492),
             Vertical(QRectF(0, 70, 1, 492), QColor(24, 27, 34), QColor(15, 17, 21)));
  PaintSectionTitle(p, QPoint(30, 94), "配置文件");
  p.fillRect(QRectF(22, 314, 120, 1), PANEL_EDGE);
  PaintSectionTitle(p, QPoint(30, 330), "配置管理");
  // An emblem at the foot of the side bar.
  p.setRenderHint(QPainter::Antialiasing, true);
  QPolygonF hexagon;
  for (int i = 0; i < 6; ++i) {
    const double angle = M_PI / 3 * i + M_PI / 6;
    hexagon << QPointF(82 + 26 * std::cos(angle), 508 + 26 * std::sin(angle));
  }
  p.setPen(QPen(QColor(232, 52, 60, 120), 2));
  p.setBrush(QColor(232, 52, 60, 20));
  p.drawPolygon(hexagon);
  p.setFont(LatinFont(12, true, true));
  p.setPen(QColor(200, 206, 216));
  p.drawText(QRectF(52, 498, 60, 20), Qt::AlignCenter, "KR-450");
}

void PaintTrack(QPainter& p, const QRect& place) {
  const double y = QRectF(place).center().y();
  p.fillRect(QRectF(place.left(), y - 2, place.width(), 4), QColor(8, 9, 11));
  p.fillRect(QRectF(place.left(), y + 1, place.width(), 1), QColor(60, 66, 78));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 98, 112));
  p.drawEllipse(QPointF(QRectF(place).center().x(), y), 2.5, 2.5);
}

void PaintLeaderLine(QPainter& p, const SkinDesign& d, int button) {
  const QRect slot = d.main[main_item::Slot(button)].rect;
  const QPoint anchor = MouseButtonAnchor(d.mainMouse, button);
  const bool leftSide = slot.center().x() < anchor.x();
  const QPointF start(leftSide ? slot.right() + 1 : slot.left(), slot.center().y() + 0.5);
  const QPointF knee(leftSide ? anchor.x() - 24 : anchor.x() + 24, start.y());
  p.setPen(QPen(QColor(110, 118, 132), 1));
  p.drawLine(start, knee);
  p.drawLine(knee, anchor);
  p.setPen(Qt::NoPen);
  p.setBrush(ACCENT);
  p.drawEllipse(QPointF(anchor), 2.5, 2.5);
  // The button's number beside the slot.
  const QPointF badge(leftSide ? slot.left() - 10 : slot.right() + 11, slot.center().y() + 0.5);
  p.setBrush(QColor(38, 42, 52));
  p.setPen(QPen(QColor(90, 98, 112), 1));
  p.drawEllipse(badge, 7.5, 7.5);
  p.setFont(LatinFont(10, true));
  p.setPen(TEXT);
  p.drawText(QRectF(badge.x() - 8, badge.y() - 8, 16, 16), Qt::AlignCenter,
             QString::number(button));
}

void PaintMainDecor(QPainter& p, const SkinDesign& d) {
  PaintPanel(p, QRect(162, 70, 626, 270),
             Vertical(QRectF(0, 70, 1, 270), QColor(24, 27, 34), QColor(14, 16, 20)));
  PaintPanel(p, QRect(162, 346, 626, 216), PANEL);
  for (int label : {23, 24}) PaintHeading(p, d.main[static_cast<size_t>(label)].rect);
  p.setRenderHint(QPainter::Antialiasing, true);
  // A rest plate under the mouse.
  QRadialGradient plate(QRectF(d.mainMouse).center(), 150);
  plate.setColorAt(0.0, QColor(232, 52, 60, 36));
  plate.setColorAt(1.0, QColor(232, 52, 60, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(plate);
  p.drawEllipse(QRectF(d.mainMouse).center(), 150, 130);
  PaintMouse(p, d.mainMouse, QColor(232, 52, 60));
  for (int button = 1; button <= 6; ++button) PaintLeaderLine(p, d, button);
  // The DPI table: the slider tracks and the DPI of each place.
  const char* dpi[] = {"1200", "1600", "2000", "2400", "3200"};
  p.setFont(LatinFont(11, true));
  for (int column = 0; column < 5; ++column) {
    p.setPen(column == 4 ? ACCENT : MUTED);
    p.drawText(QRectF(412 + 50 * column, 380, 50, 20), Qt::AlignCenter, dpi[column]);
  }
  for (int s = 0; s < 4; ++s) {
    for (int v = 0; v < 5; ++v) PaintTrack(p, d.main[main_item::KnobPlace(s, v)].rect);
  }
  p.fillRect(QRectF(174, 402, 488, 1), PANEL_EDGE);
  p.fillRect(QRectF(672, 382, 1, 164), PANEL_EDGE);
}

void PaintAdvancedDecor(QPainter& p, const SkinDesign& d) {
  PaintPanel(p, QRect(162, 70, 626, 492),
             Vertical(QRectF(0, 70, 1, 492), QColor(24, 27, 34), QColor(14, 16, 20)));
  PaintPanel(p, QRect(610, 70, 174, 456), QColor(17, 19, 24));
  for (int label : {12, 13, 17, 16, 18, 19})
    PaintHeading(p, d.advanced[static_cast<size_t>(label)].rect);
  // Frames around the child controls; the controls cover the inside.
  for (const QRect& control : {d.macroList, d.eventList, d.nameField, d.repeatCountField}) {
    FillRounded(p, QRectF(control).adjusted(-2.5, -2.5, 2.5, 2.5), 3, Qt::black,
                QPen(QColor(70, 78, 92), 1));
  }
  p.fillRect(QRectF(620, 220, 156, 1), PANEL_EDGE);
  p.fillRect(QRectF(620, 306, 156, 1), PANEL_EDGE);
}

void PaintLightingDecor(QPainter& p, const SkinDesign& d) {
  PaintPanel(p, QRect(162, 70, 626, 492),
             Vertical(QRectF(0, 70, 1, 492), QColor(24, 27, 34), QColor(14, 16, 20)));
  for (int label : {5, 6, 7}) PaintHeading(p, d.lighting[static_cast<size_t>(label)].rect);
  p.fillRect(QRectF(492, 484, 284, 1), PANEL_EDGE);
}

template <size_t N>
void PaintControls(QPainter& p, const SkinDesign& d, const std::array<Control, N>& table,
                   size_t count, State state, std::optional<QColor> lights) {
  for (size_t i = 0; i < count; ++i) PaintControl(p, d, table[i], state, lights);
}

}  // namespace

QImage PaintPage(const SkinDesign& d, Page page, State state, std::optional<QColor> lights) {
  QImage image = NewImage(d.window, OUTSIDE);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  PaintBody(p, d);
  PaintLogo(p);
  PaintSideBar(p);
  switch (page) {
    case Page::Main:
      PaintMainDecor(p, d);
      PaintControls(p, d, d.main, MAIN_TABLE_SIZE, state, lights);
      break;
    case Page::Advanced:
      PaintAdvancedDecor(p, d);
      PaintControls(p, d, d.main, main_item::LAST_FRAME + 1, state, lights);
      PaintControls(p, d, d.advanced, ADVANCED_TABLE_SIZE, state, lights);
      break;
    case Page::Lighting:
      PaintLightingDecor(p, d);
      PaintControls(p, d, d.main, main_item::LAST_FRAME + 1, state, lights);
      PaintControls(p, d, d.lighting, LIGHTING_TABLE_SIZE, state, lights);
      break;
  }
  return image;
}

QImage PaintKnob(const SkinDesign& d) {
  QImage image = NewImage(d.knob, PANEL);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRect place(QPoint(0, 0), d.knob);
  PaintTrack(p, place);
  const QPointF c = QRectF(place).center();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(232, 52, 60, 70));
  p.drawEllipse(c, 13, 13);
  QRadialGradient metal(c - QPointF(3, 4), 14);
  metal.setColorAt(0.0, QColor(236, 240, 246));
  metal.setColorAt(1.0, QColor(84, 90, 102));
  p.setPen(QPen(QColor(24, 26, 30), 1));
  p.setBrush(metal);
  p.drawEllipse(c, 10, 10);
  p.setPen(Qt::NoPen);
  p.setBrush(ACCENT);
  p.drawEllipse(c, 3.5, 3.5);
  return image;
}

QImage PaintWindowMask(const SkinDesign& d) {
  QImage image = NewImage(d.window, Qt::white);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(d.windowOutline);
  return image;
}

QImage PaintWarningMask(const SkinDesign& d) {
  QImage image = NewImage(d.warning, Qt::white);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPolygon(d.warningOutline);
  return image;
}

QImage PaintMenu(const MenuDesign& menu, State state, bool arrows) {
  QImage image = NewImage(menu.MaskSize(), QColor(18, 20, 25));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const int h = menu.rowHeight;
  for (int row = 0; row < menu.rows; ++row) {
    const QRect r(0, row * h, menu.width, h);
    p.fillRect(r, Vertical(QRectF(r), QColor(36, 40, 49), QColor(24, 27, 33)));
    // The highlighted row is darker than the others: its caption turns red.
    if (state == State::Over) {
      p.fillRect(r.adjusted(1, 1, -1, 0), QColor(5, 5, 7));
      p.setPen(QPen(STEEL, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -0.5));
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
