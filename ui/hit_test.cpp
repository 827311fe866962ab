#include "ui/hit_test.h"

#include <algorithm>

namespace kr450 {

int HitTest(Point point, std::span<const SkinItem> table, int last) {
  const int end = std::min(last + 1, static_cast<int>(table.size()));
  for (int i = 0; i < end; ++i) {
    if (table[static_cast<size_t>(i)].Contains(point.x, point.y)) return i;
  }
  return NO_CONTROL;
}

}  // namespace kr450
