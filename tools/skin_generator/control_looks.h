#pragma once

#include <QColor>
#include <QPainter>
#include <optional>

#include "skin_art.h"
#include "skin_design.h"

namespace kr450::skin_art {

// Draws one control of a table in one state, inside its rectangle only: the three state
// pictures differ nowhere else. `lights` is the colour of the lighting preview. An `inactive`
// control (one that does nothing on the page drawn) gets the inactive face in every state.
void PaintControl(QPainter& p, const SkinDesign& d, const Control& c, State state,
                  std::optional<QColor> lights, bool inactive = false);

}  // namespace kr450::skin_art
