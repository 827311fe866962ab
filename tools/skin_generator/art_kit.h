#pragma once

// Colours, fonts and small drawing helpers shared by every picture of the skin.
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QRect>

namespace kr450::skin_art {

inline const QColor OUTSIDE(120, 24, 30);  // what shows if the window's edge is a pixel wider
inline const QColor ACCENT(232, 52, 60);
inline const QColor ACCENT_DARK(150, 26, 34);
inline const QColor PANEL(19, 22, 28);
inline const QColor PANEL_EDGE(48, 54, 66);
inline const QColor STEEL(170, 182, 200);
inline const QColor DIM(70, 76, 88);
inline const QColor TEXT(226, 230, 238);
inline const QColor MUTED(128, 136, 150);

QFont CjkFont(int pixels, bool bold = false);
QFont LatinFont(int pixels, bool bold = false, bool italic = false);
QImage NewImage(QSize size, QColor fill);
// A mask: the outline black (part of the window), the rest white (cut).
QImage PaintOutlineMask(QSize size, const QPolygon& outline);
QRectF Inner(const QRect& rect, double inset);
void FillRounded(QPainter& p, const QRectF& r, double radius, const QBrush& brush, const QPen& pen);
QLinearGradient Vertical(const QRectF& r, QColor top, QColor bottom);
void DrawCentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                     QColor colour);
QPainterPath OutlinePath(const QPolygon& outline);
// The three faces every control with a face shares, from quiet to strong:
// - hover: the face turns dark and a thin gray rim appears. The window writes the caption under
//   the pointer in pure red, which reads only on a dark face. The rim stays dimmer than the
//   selected outline, so the pointer never outshines what is chosen.
// - selected: a dark face inside a bright red outline with a red glow and a bar of light at the
//   foot. The one look of every chosen option (configuration, page, lighting mode, pointer
//   speed, wheel setting, check box, recording) and of a pressed button.
// - inactive: a flat, rimless face, for a control that does nothing on the page it is drawn on;
//   it is the same in every state.
void PaintHoverFace(QPainter& p, const QRectF& r, double radius);
void PaintSelectedFace(QPainter& p, const QRectF& r, double radius);
// The selected face's build in another colour.
void PaintOutlinedFace(QPainter& p, const QRectF& r, double radius, QColor rim);
void PaintInactiveFace(QPainter& p, const QRectF& r, double radius);
inline const QColor HOVER_RIM(104, 112, 128);
inline const QColor SELECTED_RIM(255, 66, 74);
// The groove of a DPI slider through one knob place; the knob picture repeats it.
void PaintTrack(QPainter& p, const QRect& place);

}  // namespace kr450::skin_art
