#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/skin_item.h"

namespace kr450 {

// Rows of 32-bit pixels 0xAARRGGBB (the layout of QImage's RGB32 and ARGB32 formats).
struct PixelRows {
  int width = 0;
  int height = 0;
  const uint32_t* pixels = nullptr;
  ptrdiff_t stride = 0;  // pixels from the start of one row to the next

  const uint32_t* Row(int y) const { return pixels + y * stride; }
};

// A mask pixel whose red, green and blue are all above 100 is cut out of the window; a pixel
// with any component of 100 or less is part of it.
constexpr bool IsCutPixel(uint32_t argb) {
  return ((argb >> 16) & 0xFF) > 100 && ((argb >> 8) & 0xFF) > 100 && (argb & 0xFF) > 100;
}

// Pixels begin <= x < end of one row.
struct PixelRun {
  int begin = 0;
  int end = 0;
  bool operator==(const PixelRun&) const = default;
};

// left <= x < right, top <= y < bottom.
struct RegionRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const RegionRect&) const = default;
};

// A set of pixels inside a width x height area, kept as sorted, disjoint, non-touching runs
// per row. Everything outside the area is always outside the set.
class RunRegion {
 public:
  RunRegion() = default;
  RunRegion(int width, int height);  // empty

  static RunRegion Rectangle(int width, int height);
  // The window of a mask: every pixel that is not cut, found a run at a time.
  static RunRegion FromMask(const PixelRows& mask);

  // Exclusive-or with a rectangle (left, top, right, bottom); only the part inside the area
  // counts, since nothing outside the window is ever drawn. An empty rectangle changes
  // nothing.
  void XorRect(const ControlRect& rect);

  bool Contains(int x, int y) const;
  bool empty() const;
  int64_t Area() const;
  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<PixelRun>& Row(int y) const { return rows_[static_cast<size_t>(y)]; }

  // The region as y-x banded rectangles: rows with equal runs are merged into one band, the
  // bands come top to bottom and the rectangles of a band left to right. This is the form a
  // window region is built from directly.
  std::vector<RegionRect> BandedRects() const;

  bool operator==(const RunRegion&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::vector<PixelRun>> rows_;
};

// The main window's regions: the shape, and the area repainted while the advanced page
// shows, which is the shape with the name field, the event list and the macro list flipped
// (the repeat count field is not).
struct WindowRegions {
  RunRegion windowShape;
  RunRegion advancedRepaintRegion;
};

WindowRegions BuildWindowRegions(const PixelRows& mask, const ControlRect& nameField,
                                 const ControlRect& eventList, const ControlRect& macroList);

}  // namespace kr450
