#pragma once

#include <span>

#include "ui/pages.h"
#include "ui/skin_item.h"

namespace kr450 {

// A point in a window's client pixels.
struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The first entry 0..last of `table` whose rectangle holds `point` (right and bottom edges
// excluded), or NO_CONTROL. Overlapping rectangles resolve to the lowest index; `last` beyond
// the table is cut to it.
int HitTest(Point point, std::span<const SkinItem> table, int last);

}  // namespace kr450
