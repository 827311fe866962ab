#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <optional>

class QPainter;

namespace kr450::skin_art {

// The picture of the mouse seen from above, drawn into a bounding rectangle whose width sets
// the scale (the mouse is 100 units wide and 176 high).
inline constexpr double MOUSE_UNITS_WIDE = 100.0;
inline constexpr double MOUSE_UNITS_HIGH = 176.0;

// The rectangle of mouse button 1..6 (left, right, wheel, front side, rear side, DPI) on the
// picture; the rectangles of different buttons never overlap.
QRect MouseButtonRect(const QRect& bounds, int button);
// Where a leader line from a button slot meets button 1..6.
QPoint MouseButtonAnchor(const QRect& bounds, int button);
// The outline of button 1..6.
QPainterPath MouseButtonPath(const QRect& bounds, int button);

// Draws the mouse. `lights` is the colour of its lighting (strips, emblem, wheel and trim), or
// nothing when the lights are off.
void PaintMouse(QPainter& painter, const QRect& bounds, std::optional<QColor> lights);

}  // namespace kr450::skin_art
