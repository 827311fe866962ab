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
  // Keeps every picture of `images` but the masks (shared, not copied), so that it draws the
  // popups' plans too, and the caption font ("宋体" 10 points).
  explicit SkinPainter(const SkinImageSet& images);

  const TextMeasure& Measure() const { return measure_; }
  // The size of the window's pictures (main_mask.jpg), in logical pixels.
  QSize PageSize() const { return pageSize_; }

  // Draws the operations in order, in the painter's logical coordinates. Copies whose picture
  // is missing draw nothing; copies are cut to their picture. On a device whose pixel ratio is
  // not 1 (and a painter without a transform of its own) the pictures are scaled once for that
  // ratio and copied pixel for pixel, with edges at the nearest device pixel.
  void Paint(QPainter& painter, const std::vector<DrawOp>& ops) const;

  // The whole page for `view`: PageSize() logical pixels at `devicePixelRatio`. The page shares
  // its memory with the painter's back buffer: let go of it before the next Render (drawing it
  // and dropping it in the paint handler does), or the next Render copies it first.
  QImage Render(const PaintView& view, const SkinLayout& layout, qreal devicePixelRatio) const;

 private:
  using Pictures = std::array<QImage, SKIN_IMAGES.size()>;
  // The pictures at a pixel ratio; the last ratio's are kept. Window thread only.
  const Pictures& PicturesAt(qreal ratio) const;
  // Draws with `painter` in device pixels of `ratio`.
  void PaintInDevicePixels(QPainter& painter, const std::vector<DrawOp>& ops, qreal ratio,
                           const Pictures& pictures) const;

  Pictures images_;
  QSize pageSize_;
  QFont font_;
  QtTextMeasure measure_;
  mutable qreal scaledRatio_ = 0;
  mutable Pictures scaled_;
  mutable QImage backBuffer_;
};

}  // namespace kr450
