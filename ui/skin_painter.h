#pragma once

// Executes the paint plan (ui/paint_plan.h) with QPainter, from images decoded once.
//
// Use (the window thread, after LoadSkin and InstallSkinFontSubstitutes):
//   SkinPainter painter(skin.images);
//   in paintEvent:  QPainter p(this);
//                   p.drawImage(0, 0, painter.Render(view, skin.layout, devicePixelRatioF()));
//   or, to draw into a painter of your own (logical coordinates):
//                   painter.Paint(p, ComposePaint(view, skin.layout, painter.Measure()));
// Render composes the page off-screen at the screen's pixel ratio, so that the picture, the
// window's shape and the captions stay in register at any scale; nothing is read from disk.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <array>
#include <vector>

#include "ui/paint_plan.h"
#include "ui/skin_image_set.h"

namespace kr450 {

// Caption extents in a font, by QFontMetrics.
class QtTextMeasure final : public TextMeasure {
 public:
  explicit QtTextMeasure(const QFont& font) : metrics_(font) {}
  TextExtent Measure(std::string_view utf8) const override;
  int Ascent() const { return metrics_.ascent(); }

 private:
  QFontMetrics metrics_;
};

class SkinPainter {
 public:
  // Keeps the window's pictures of `images` (shared, not copied) and the caption font
  // ("宋体" 10 points).
  explicit SkinPainter(const SkinImageSet& images);

  const TextMeasure& Measure() const { return measure_; }
  // The size of the window's pictures (main_mask.jpg), in logical pixels.
  QSize PageSize() const { return pageSize_; }

  // Draws the operations in order. Copies whose picture is missing draw nothing; copies are
  // cut to their picture.
  void Paint(QPainter& painter, const std::vector<DrawOp>& ops) const;

  // The whole page for `view`: PageSize() logical pixels at `devicePixelRatio`.
  QImage Render(const PaintView& view, const SkinLayout& layout, qreal devicePixelRatio) const;

 private:
  const QImage& Picture(SkinImage id) const { return images_[static_cast<size_t>(id)]; }

  std::array<QImage, SKIN_IMAGES.size()> images_;
  QSize pageSize_;
  QFont font_;
  QtTextMeasure measure_;
};

}  // namespace kr450
