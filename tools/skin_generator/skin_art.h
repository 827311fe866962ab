#pragma once

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <optional>

#include "skin_design.h"

namespace kr450::skin_art {

enum class Page { Main, Advanced, Lighting };
enum class State { Normal, Over, Down };

// A whole page in one state. `lights` is the colour the lighting preview shows (nothing:
// lights off); it matters on the lighting page only.
QImage PaintPage(const SkinDesign& design, Page page, State state, std::optional<QColor> lights);

// The side bar's emblem: the hexagon, and where its text lies (the text's own outline, not
// its line box), centred in the hexagon.
QPolygonF EmblemHexagon(const SkinDesign& design);
QRectF EmblemTextBounds(const SkinDesign& design);

// The slider knob: the track under it and the knob, the size of a knob place.
QImage PaintKnob(const SkinDesign& design);

// Black where the window is, white where it is cut.
QImage PaintWindowMask(const SkinDesign& design);
QImage PaintWarningMask(const SkinDesign& design);

// A menu's rows in one state; `arrows` marks the rows that open a submenu.
QImage PaintMenu(const MenuDesign& menu, State state, bool arrows);
QImage PaintMenuMask(const MenuDesign& menu);

QImage PaintWarning(const SkinDesign& design, State state);

}  // namespace kr450::skin_art
