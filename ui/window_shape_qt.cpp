#include "ui/window_shape_qt.h"

#include <QRect>
#include <vector>

#include "ui/skin_image_set.h"

namespace kr450 {

QRegion ToQRegion(const RunRegion& region) {
  const std::vector<RegionRect> bands = region.BandedRects();
  std::vector<QRect> rects;
  rects.reserve(bands.size());
  for (const RegionRect& r : bands) {
    rects.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  QRegion result;
  // The banded rectangles already are the region's internal form: no merging is needed.
  if (!rects.empty()) result.setRects(rects.data(), static_cast<int>(rects.size()));
  return result;
}

namespace {
QImage AsRgb32(const QImage& image) {
  return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
             ? image
             : image.convertToFormat(QImage::Format_RGB32);
}
}  // namespace

WindowShape BuildWindowShape(const QImage& mask, const ControlRect& nameField,
                             const ControlRect& eventList, const ControlRect& macroList) {
  const QImage pixels = AsRgb32(mask);
  const WindowRegions regions =
      BuildWindowRegions(PixelRowsOf(pixels), nameField, eventList, macroList);
  return {pixels.width(), pixels.height(), ToQRegion(regions.windowShape),
          ToQRegion(regions.advancedRepaintRegion)};
}

QRegion BuildWarningShape(const QImage& mask) {
  return ToQRegion(RunRegion::FromMask(PixelRowsOf(AsRgb32(mask))));
}

}  // namespace kr450
