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
void FillRounded(QPainter& p, const QRectF& r, double radius, const QBrush& brush, QPen pen);
QLinearGradient Vertical(const QRectF& r, QColor top, QColor bottom);
void DrawCentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                     QColor colour);
QPainterPath OutlinePath(const QPolygon& outline);
// The pointer-over look of every control with a face: the rim lights up and glows inward while
// the face turns dark. The window writes the caption under the pointer in pure red, which
// reads only on a dark face, so the light goes into the rim, away from the caption.
void PaintLitFace(QPainter& p, const QRectF& r, double radius);
// The groove of a DPI slider through one knob place; the knob picture repeats it.
void PaintTrack(QPainter& p, const QRect& place);

}  // namespace kr450::skin_art
