#pragma once

// What the function menu, its submenu and the left-button warning draw, as draw operations
// (ui/paint_plan.h) from their state, without Qt. Coordinates are the popup's client pixels;
// DrawKind::Page draws the popup's normal picture at (0, 0). Captions are in the window's
// caption font ("宋体" 10 points).

#include <array>
#include <vector>

#include "ui/function_menu_model.h"
#include "ui/paint_plan.h"
#include "ui/warning_logic.h"

namespace kr450 {

// The normal picture, the highlighted row from the pointer-over picture (the pressed one while
// the button is down), and the ten row captions centred in their rows, the highlighted one red,
// the others white.
std::vector<DrawOp> ComposeMenuPaint(const FunctionMenu& menu, const TextMeasure& measure);
// The same for the open submenu, with its items; nothing without a submenu.
std::vector<DrawOp> ComposeSubMenuPaint(const FunctionMenu& menu, const TextMeasure& measure);
// The normal picture, the highlighted button from the pointer-over picture, and the three
// captions centred in their rectangles, in red.
std::vector<DrawOp> ComposeWarningPaint(const WarningLogic& warning,
                                        const std::array<SkinItem, WARNING_TABLE_SIZE>& table,
                                        const TextMeasure& measure);

}  // namespace kr450
