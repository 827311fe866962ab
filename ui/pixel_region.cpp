#include "ui/pixel_region.h"

#include <algorithm>

namespace kr450 {
namespace {

// Symmetric difference of the sorted runs of a row with [begin, end).
std::vector<PixelRun> XorRow(const std::vector<PixelRun>& row, int begin, int end) {
  // Boundaries of both sets; a boundary present in both cancels out.
  std::vector<int> edges;
  edges.reserve(row.size() * 2 + 2);
  for (const PixelRun& run : row) {
    edges.push_back(run.begin);
    edges.push_back(run.end);
  }
  edges.insert(std::upper_bound(edges.begin(), edges.end(), begin), begin);
  edges.insert(std::upper_bound(edges.begin(), edges.end(), end), end);
  std::vector<int> kept;
  kept.reserve(edges.size());
  for (size_t i = 0; i < edges.size(); ++i) {
    if (i + 1 < edges.size() && edges[i] == edges[i + 1]) {
      ++i;
      continue;
    }
    kept.push_back(edges[i]);
  }
  std::vector<PixelRun> result;
  result.reserve(kept.size() / 2);
  for (size_t i = 0; i + 1 < kept.size(); i += 2) result.push_back({kept[i], kept[i + 1]});
  return result;
}

}  // namespace

RunRegion::RunRegion(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      rows_(static_cast<size_t>(height_)) {}

RunRegion RunRegion::Rectangle(int width, int height) {
  RunRegion region(width, height);
  if (region.width_ > 0) {
    for (auto& row : region.rows_) row.push_back({0, region.width_});
  }
  return region;
}

RunRegion RunRegion::FromMask(const PixelRows& mask) {
  RunRegion region(mask.width, mask.height);
  for (int y = 0; y < region.height_; ++y) {
    const uint32_t* pixels = mask.Row(y);
    auto& row = region.rows_[static_cast<size_t>(y)];
    int x = 0;
    while (x < region.width_) {
      while (x < region.width_ && IsCutPixel(pixels[x])) ++x;
      const int begin = x;
      while (x < region.width_ && !IsCutPixel(pixels[x])) ++x;
      if (x > begin) row.push_back({begin, x});
    }
  }
  return region;
}

void RunRegion::XorRect(const ControlRect& rect) {
  const int left = std::max(rect.left, 0);
  const int right = std::min(rect.right, width_);
  const int top = std::max(rect.top, 0);
  const int bottom = std::min(rect.bottom, height_);
  if (left >= right || top >= bottom) return;
  for (int y = top; y < bottom; ++y) {
    auto& row = rows_[static_cast<size_t>(y)];
    row = XorRow(row, left, right);
  }
}

bool RunRegion::Contains(int x, int y) const {
  if (y < 0 || y >= height_) return false;
  for (const PixelRun& run : rows_[static_cast<size_t>(y)]) {
    if (x < run.begin) return false;
    if (x < run.end) return true;
  }
  return false;
}

bool RunRegion::empty() const {
  return std::all_of(rows_.begin(), rows_.end(), [](const auto& row) { return row.empty(); });
}

int64_t RunRegion::Area() const {
  int64_t area = 0;
  for (const auto& row : rows_) {
    for (const PixelRun& run : row) area += run.end - run.begin;
  }
  return area;
}

std::vector<RegionRect> RunRegion::BandedRects() const {
  std::vector<RegionRect> rects;
  int y = 0;
  while (y < height_) {
    const auto& row = rows_[static_cast<size_t>(y)];
    int bottom = y + 1;
    while (bottom < height_ && rows_[static_cast<size_t>(bottom)] == row) ++bottom;
    for (const PixelRun& run : row) rects.push_back({run.begin, y, run.end, bottom});
    y = bottom;
  }
  return rects;
}

WindowRegions BuildWindowRegions(const PixelRows& mask, const ControlRect& nameField,
                                 const ControlRect& eventList, const ControlRect& macroList) {
  WindowRegions regions;
  regions.windowShape = RunRegion::FromMask(mask);
  regions.advancedRepaintRegion = regions.windowShape;
  regions.advancedRepaintRegion.XorRect(nameField);
  regions.advancedRepaintRegion.XorRect(eventList);
  regions.advancedRepaintRegion.XorRect(macroList);
  return regions;
}

}  // namespace kr450
