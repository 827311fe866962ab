#pragma once

#include <cstdint>
#include <string>

namespace kr450 {

// One entry of a skin rectangle table: the pixels x <= px < x + width, y <= py < y + height
// of the window's client area, and the caption drawn in it (UTF-8, may be empty).
struct SkinItem {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::string text;

  // Edges in 64 bits: values read from an edited skin may be near the 32-bit limits.
  int64_t right() const { return int64_t{x} + width; }
  int64_t bottom() const { return int64_t{y} + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  bool Contains(int64_t px, int64_t py) const {
    return px >= x && px < right() && py >= y && py < bottom();
  }
};

// A child control's rectangle: left, top, right and bottom edges (right and bottom excluded).
struct ControlRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool empty() const { return right <= left || bottom <= top; }
  int32_t width() const { return empty() ? 0 : right - left; }
  int32_t height() const { return empty() ? 0 : bottom - top; }
};

// left = x, top = y, right = x + width, bottom = y + height, saturated to 32 bits.
ControlRect ToControlRect(const SkinItem& item);

}  // namespace kr450
