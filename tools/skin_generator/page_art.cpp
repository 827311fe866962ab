#include <QFontMetricsF>
#include <QRadialGradient>
#include <cmath>

#include "art_kit.h"
#include "control_looks.h"
#include "mouse_art.h"
#include "skin_art.h"
#include "ui/skin_roles.h"

// The three pages of the main window, the slider knob and the window's mask.
namespace kr450::skin_art {
namespace {

void PaintPanel(QPainter& p, const QRect& rect, const QBrush& fill) {
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

QFont EmblemFont() {
  return LatinFont(12, true, true);
}

void PaintSideBar(QPainter& p, const SkinDesign& d) {
  PaintPanel(p, QRect(12, 70, 140, 492),
             Vertical(QRectF(0, 70, 1, 492), QColor(24, 27, 34), QColor(15, 17, 21)));
  PaintSectionTitle(p, QPoint(30, 94), "配置文件");
  p.fillRect(QRectF(22, 314, 120, 1), PANEL_EDGE);
  PaintSectionTitle(p, QPoint(30, 330), "配置管理");
  // An emblem at the foot of the side bar.
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(232, 52, 60, 120), 2));
  p.setBrush(QColor(232, 52, 60, 20));
  p.drawPolygon(EmblemHexagon(d));
  // Placed by the text's own outline, so that the slanted letters sit in the middle.
  const QRectF ink = QFontMetricsF(EmblemFont()).tightBoundingRect(d.emblemText);
  const QRectF bounds = EmblemTextBounds(d);
  p.setFont(EmblemFont());
  p.setPen(QColor(200, 206, 216));
  p.drawText(bounds.topLeft() - ink.topLeft(), d.emblemText);
}

void PaintNumberBadge(QPainter& p, QPointF centre, int number) {
  p.setBrush(QColor(38, 42, 52));
  p.setPen(QPen(QColor(90, 98, 112), 1));
  p.drawEllipse(centre, 7.5, 7.5);
  p.setFont(LatinFont(10, true));
  p.setPen(TEXT);
  p.drawText(QRectF(centre.x() - 8, centre.y() - 8, 16, 16), Qt::AlignCenter,
             QString::number(number));
}

// A leader line from the button to its numbered callout: level, or first at 45 degrees up to
// the callout's height.
void PaintCallout(QPainter& p, const SkinDesign& d, int button) {
  const QPointF anchor = MouseButtonAnchor(d.mainMouse, button);
  const QPointF badge = d.callouts[static_cast<size_t>(button - 1)] + QPointF(0, 0.5);
  const double toward = badge.x() > anchor.x() ? 1 : -1;
  const QPointF start(anchor.x(), anchor.y() + 0.5);
  const QPointF knee(anchor.x() + toward * std::abs(badge.y() - start.y()), badge.y());
  p.setPen(QPen(QColor(110, 118, 132), 1));
  p.drawLine(start, knee);
  p.drawLine(knee, badge - QPointF(toward * 7.5, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(ACCENT);
  p.drawEllipse(QPointF(anchor), 2.5, 2.5);
  PaintNumberBadge(p, badge, button);
}

void PaintMainDecor(QPainter& p, const SkinDesign& d) {
  const QRect buttonsPanel(162, 70, 626, 270);
  PaintPanel(p, buttonsPanel,
             Vertical(QRectF(0, 70, 1, 270), QColor(24, 27, 34), QColor(14, 16, 20)));
  PaintPanel(p, QRect(162, 346, 626, 216), PANEL);
  for (int label : {23, 24}) PaintHeading(p, d.main[static_cast<size_t>(label)].rect);
  p.setRenderHint(QPainter::Antialiasing, true);
  // A rest plate under the mouse.
  p.setClipRect(buttonsPanel.adjusted(1, 1, -1, -1));
  QRadialGradient plate(QRectF(d.mainMouse).center(), 130);
  plate.setColorAt(0.0, QColor(232, 52, 60, 36));
  plate.setColorAt(1.0, QColor(232, 52, 60, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(plate);
  p.drawEllipse(QRectF(d.mainMouse).center(), 130, 130);
  p.setClipping(false);
  PaintMouse(p, d.mainMouse, QColor(232, 52, 60));
  for (int button = 1; button <= 6; ++button) {
    PaintCallout(p, d, button);
    const QRect slot = d.main[main_item::Slot(button)].rect;
    PaintNumberBadge(p, QPointF(slot.left() - 12, slot.center().y() + 0.5), button);
  }
  // The DPI table: the slider tracks and the DPI of each place.
  const char* dpi[] = {"1200", "1600", "2000", "2400", "3200"};
  p.setFont(LatinFont(11, true));
  p.setPen(MUTED);
  for (int column = 0; column < 5; ++column) {
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

// The frame as one page shows it. A control that acts on the main page only is inactive on the
// others. The page's own tab does nothing on it and is shown chosen: under the pointer (the
// over picture) it stays as it is.
void PaintFrame(QPainter& p, const SkinDesign& d, Page page, State state) {
  const int ownTab = page == Page::Main       ? main_item::TAB_MAIN
                     : page == Page::Advanced ? main_item::TAB_ADVANCED
                                              : main_item::TAB_LIGHTING;
  for (int i = 0; i <= main_item::LAST_FRAME; ++i) {
    const Control& c = d.main[static_cast<size_t>(i)];
    const bool inactive = c.mainPageOnly && page != Page::Main;
    const State shown = i == ownTab && state == State::Over ? State::Down : state;
    PaintControl(p, d, c, shown, std::nullopt, inactive);
  }
}

}  // namespace

QImage PaintPage(const SkinDesign& d, Page page, State state, std::optional<QColor> lights) {
  QImage image = NewImage(d.window, OUTSIDE);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  PaintBody(p, d);
  PaintLogo(p);
  PaintSideBar(p, d);
  switch (page) {
    case Page::Main:
      PaintMainDecor(p, d);
      PaintFrame(p, d, page, state);
      for (size_t i = main_item::LAST_FRAME + 1; i < MAIN_TABLE_SIZE; ++i) {
        PaintControl(p, d, d.main[i], state, lights);
      }
      break;
    case Page::Advanced:
      PaintAdvancedDecor(p, d);
      PaintFrame(p, d, page, state);
      PaintControls(p, d, d.advanced, ADVANCED_TABLE_SIZE, state, lights);
      break;
    case Page::Lighting:
      PaintLightingDecor(p, d);
      PaintFrame(p, d, page, state);
      PaintControls(p, d, d.lighting, LIGHTING_TABLE_SIZE, state, lights);
      break;
  }
  return image;
}

QPolygonF EmblemHexagon(const SkinDesign& d) {
  QPolygonF hexagon;
  for (int i = 0; i < 6; ++i) {
    const double angle = M_PI / 3 * i + M_PI / 6;
    hexagon << d.emblemCentre +
                   QPointF(d.emblemRadius * std::cos(angle), d.emblemRadius * std::sin(angle));
  }
  return hexagon;
}

QRectF EmblemTextBounds(const SkinDesign& d) {
  QRectF ink = QFontMetricsF(EmblemFont()).tightBoundingRect(d.emblemText);
  ink.moveCenter(d.emblemCentre);
  return ink;
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
  return PaintOutlineMask(d.window, d.windowOutline);
}

}  // namespace kr450::skin_art
