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
      PaintLitFace(p, r, 4);
      break;
    case State::Down: {
      FillRounded(p, r, 4, Vertical(r, QColor(12, 13, 16), QColor(24, 16, 19)), QPen(ACCENT, 1.5));
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
    PaintLitFace(p, r, 3);
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
    PaintLitFace(p, r, 4);
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
  QColor stripe(100, 108, 124), chevron(120, 128, 142);
  if (state == State::Normal) {
    FillRounded(p, r, 2, QColor(16, 18, 23), QPen(QColor(52, 58, 70), 1));
  } else if (state == State::Over) {
    PaintLitFace(p, r, 2);
    stripe = ACCENT;
    chevron = TEXT;
  } else {
    // Pressed while the menu opens: the caption under the pointer is red, so the face stays dark.
    FillRounded(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 2, QColor(10, 11, 14), QPen(ACCENT, 2));
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
    PaintLitFace(p, r, 4);
    FillRounded(p, box, 2, QColor(46, 52, 63), QPen(QColor(240, 242, 246), 1.4));
    return;
  }
  FillRounded(p, r, 4, QColor(20, 14, 17), QPen(ACCENT, 1.5));
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
    // Close turns red, as close buttons do; minimise lights like every other control.
    if (close) {
      FillRounded(p, r, 3, ACCENT, Qt::NoPen);
    } else {
      PaintLitFace(p, r, 3);
    }
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
    PaintLitFace(p, r, 4);
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

}  // namespace

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
      if (c.role == "record") PaintRecordMark(p, c.rect, state);
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

}  // namespace kr450::skin_art
