#include "control_looks.h"

#include <QRadialGradient>

#include "art_kit.h"
#include "mouse_art.h"

namespace kr450::skin_art {
namespace {

void PaintButtonLook(QPainter& p, const QRect& rect, State state, bool dark = false) {
  const QRectF r = Inner(rect, 1.5);
  switch (state) {
    case State::Normal:
      if (dark) {
        // Its caption is always red.
        FillRounded(p, r, 4, Vertical(r, QColor(20, 22, 27), QColor(10, 11, 14)),
                    QPen(QColor(80, 88, 102), 1));
        break;
      }
      FillRounded(p, r, 4, Vertical(r, QColor(46, 52, 63), QColor(28, 32, 40)),
                  QPen(QColor(64, 72, 86), 1));
      p.setPen(QColor(255, 255, 255, 22));
      p.drawLine(r.topLeft() + QPointF(4, 1), r.topRight() + QPointF(-4, 1));
      break;
    case State::Over:
      PaintHoverFace(p, r, 4);
      break;
    case State::Down:
      PaintSelectedFace(p, r, 4);
      break;
  }
}

// Resetting throws away every stored configuration and the macros: an amber warning tint and
// sign set it apart from the import and export buttons above it, in every state.
void PaintResetLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 1.5);
  QColor sign(214, 146, 52);
  switch (state) {
    case State::Normal:
      FillRounded(p, r, 4, Vertical(r, QColor(54, 38, 20), QColor(34, 24, 13)),
                  QPen(QColor(96, 66, 30), 1));
      break;
    case State::Over:
      FillRounded(p, r, 4, Vertical(r, QColor(22, 17, 11), QColor(10, 8, 6)),
                  QPen(QColor(176, 122, 52), 1));
      sign = QColor(236, 170, 70);
      break;
    case State::Down:
      PaintOutlinedFace(p, r, 4, QColor(250, 172, 60));
      sign = QColor(255, 196, 90);
      break;
  }
  const QPointF top(r.left() + 16, r.center().y() - 6.5);
  const QPolygonF triangle({top, top + QPointF(7.5, 13), top + QPointF(-7.5, 13)});
  p.setPen(QPen(sign, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(sign);
  p.drawPolygon(triangle);
  p.setPen(QPen(QColor(30, 20, 10), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(top + QPointF(0, 4.5), top + QPointF(0, 8.5));
  p.drawPoint(top + QPointF(0, 11));
}

// Left of the caption: a record dot, and in the pressed picture (recording, caption "停止") a
// stop square.
void PaintRecordMark(QPainter& p, const QRect& rect, State state) {
  const QPointF centre(rect.left() + 78, rect.center().y() + 0.5);
  p.setPen(Qt::NoPen);
  if (state != State::Down) {
    p.setBrush(QColor(200, 40, 48));
    p.drawEllipse(centre, 5, 5);
    return;
  }
  p.setBrush(QColor(255, 70, 70, 60));
  p.drawRoundedRect(QRectF(centre - QPointF(7.5, 7.5), QSizeF(15, 15)), 3, 3);
  p.setBrush(QColor(255, 80, 80));
  p.drawRoundedRect(QRectF(centre - QPointF(4.5, 4.5), QSizeF(9, 9)), 1.5, 1.5);
}

void PaintTabLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 1);
  if (state == State::Over) {
    PaintHoverFace(p, r, 3);
  } else if (state == State::Down) {
    PaintSelectedFace(p, r, 3);
  }
}

void PaintConfigLook(QPainter& p, const QRect& rect, State state) {
  const QRectF r = Inner(rect, 1.5);
  QColor led = DIM;
  if (state == State::Normal) {
    FillRounded(p, r, 4, Vertical(r, QColor(40, 45, 55), QColor(26, 29, 36)),
                QPen(QColor(60, 67, 80), 1));
  } else if (state == State::Over) {
    PaintHoverFace(p, r, 4);
    led = QColor(150, 158, 172);
  } else {
    PaintSelectedFace(p, r, 4);
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
  QColor stripe(100, 108, 124), chevron(120, 128, 142);
  if (state == State::Normal) {
    FillRounded(p, r, 2, QColor(16, 18, 23), QPen(QColor(52, 58, 70), 1));
  } else if (state == State::Over) {
    PaintHoverFace(p, r, 2);
    stripe = QColor(150, 158, 172);
    chevron = TEXT;
  } else {
    // Pressed while the menu opens: the caption under the pointer is red on the dark face.
    PaintSelectedFace(p, r, 2);
    stripe = QColor(255, 100, 100);
    chevron = ACCENT;
  }
  // The stripe lies on the left edge: the window starts the caption 5 pixels in, and a stripe
  // further inside would crowd it.
  p.fillRect(QRectF(rect.left(), rect.top() + 4, 2, rect.height() - 8), stripe);
  QPainterPath arrow(QPointF(rect.right() - 16, rect.center().y() - 2));
  arrow.lineTo(rect.right() - 12, rect.center().y() + 2);
  arrow.lineTo(rect.right() - 8, rect.center().y() - 2);
  p.setPen(QPen(chevron, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arrow);
}

// The stage's enable switch. The window draws the "on" picture over an enabled stage only, so
// the off picture is what a disabled stage shows: dim and hollow, with the word 关.
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
  FillRounded(p, track, 9, QColor(13, 14, 17), QPen(over ? HOVER_RIM : QColor(44, 48, 58), 1));
  p.setPen(Qt::NoPen);
  p.setBrush(over ? QColor(112, 120, 136) : QColor(50, 54, 64));
  p.drawEllipse(QPointF(track.left() + 9, track.center().y()), 5.5, 5.5);
  p.setFont(CjkFont(10));
  p.setPen(over ? QColor(140, 148, 162) : QColor(74, 80, 92));
  p.drawText(QRectF(track.left() + 18, track.top(), 18, track.height()), Qt::AlignCenter,
             QString::fromUtf8("关"));
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
    PaintHoverFace(p, r, 4);
    FillRounded(p, box, 2, QColor(30, 34, 42), QPen(QColor(150, 158, 172), 1.2));
    return;
  }
  PaintSelectedFace(p, r, 4);
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
    p.setPen(QPen(HOVER_RIM, 1.2));
    p.setBrush(QColor(104, 112, 128, 30));
    p.drawEllipse(centre, 10, 10);
  } else if (state == State::Down) {
    p.setPen(QPen(SELECTED_RIM, 1.5));
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

// A stage's colour: no action, so the same in every state.
void PaintSwatchLook(QPainter& p, const QRect& rect, int stage) {
  FillRounded(p, Inner(rect, 2), 3, StageColour(stage), QPen(QColor(10, 10, 12), 1));
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
    // Close turns a deep red, as close buttons do, and bright red when pressed; minimise
    // takes the hover and pressed faces of every other control.
    if (close) {
      FillRounded(p, r, 3, QColor(120, 22, 30), Qt::NoPen);
    } else {
      PaintHoverFace(p, r, 3);
    }
    icon = Qt::white;
  } else if (state == State::Down) {
    if (close) {
      FillRounded(p, r, 3, ACCENT, Qt::NoPen);
    } else {
      PaintSelectedFace(p, r, 3);
    }
    icon = Qt::white;
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

// A hint box: no action, so the same in every state.
void PaintInfoLook(QPainter& p, const Control& c) {
  QPen dashed(QColor(64, 72, 86), 1, Qt::DashLine);
  FillRounded(p, Inner(c.rect, 1.5), 4, QColor(17, 19, 24), dashed);
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

}  // namespace

void PaintControl(QPainter& p, const SkinDesign& d, const Control& c, State state,
                  std::optional<QColor> lights, bool inactive) {
  if (c.rect.isEmpty()) return;
  p.save();
  p.setClipRect(c.rect);
  p.setRenderHint(QPainter::Antialiasing, true);
  if (inactive) {
    PaintInactiveFace(p, Inner(c.rect, 1.5), 4);
    p.restore();
    return;
  }
  switch (c.look) {
    case Look::None:
    case Look::Label:
      break;
    case Look::Button:
      PaintButtonLook(p, c.rect, state, c.param == DARK_BUTTON);
      if (c.role == "record") PaintRecordMark(p, c.rect, state);
      break;
    case Look::Reset:
      PaintResetLook(p, c.rect, state);
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
      PaintSwatchLook(p, c.rect, c.param);
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
      PaintInfoLook(p, c);
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

}  // namespace kr450::skin_art
