#pragma once

#include <QImage>
#include <QRegion>

#include "ui/pixel_region.h"
#include "ui/skin_item.h"

namespace kr450 {

// The region of a run region, built from its banded rectangles in one step.
QRegion ToQRegion(const RunRegion& region);

// The main window's shape from main_mask.jpg: the window is the mask's dark pixels; the
// advanced page repaints that shape with the name field, the event list and the macro list
// flipped. The mask's size is the size of every page surface.
struct WindowShape {
  int maskWidth = 0;
  int maskHeight = 0;
  QRegion windowShape;
  QRegion advancedRepaintRegion;
};

// `mask` must be decoded (DecodeSkinImage gives RGB32).
WindowShape BuildWindowShape(const QImage& mask, const ControlRect& nameField,
                             const ControlRect& eventList, const ControlRect& macroList);

// The warning dialog's shape from warning_mask.bmp, by the same rule.
QRegion BuildWarningShape(const QImage& mask);

}  // namespace kr450
