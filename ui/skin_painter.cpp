#include "ui/skin_painter.h"

#include <QColor>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "ui/skin_fonts.h"

namespace kr450 {
namespace {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A logical coordinate in device pixels, the nearest edge; far values are held where the
// arithmetic stays exact.
int ToDevice(int64_t logical, qreal ratio) {
  constexpr double limit = 1 << 28;
  return static_cast<int>(
      std::clamp(std::floor(static_cast<double>(logical) * ratio + 0.5), -limit, limit));
}

QRect DeviceRect(const DrawOp& op, qreal ratio) {
  const int left = ToDevice(op.x, ratio);
  const int top = ToDevice(op.y, ratio);
  return QRect(left, top, ToDevice(int64_t{op.x} + op.width, ratio) - left,
               ToDevice(int64_t{op.y} + op.height, ratio) - top);
}

// Copies `source` of `picture` to `target`'s top-left corner, both cut to the picture.
void CopyRect(QPainter& painter, const QImage& picture, QRect source, QPoint target) {
  const QRect cut = source.intersected(picture.rect());
  if (picture.isNull() || cut.isEmpty()) return;
  painter.drawImage(target + (cut.topLeft() - source.topLeft()), picture, cut);
}

}  // namespace

TextExtent QtTextMeasure::Measure(std::string_view utf8) const {
  return {metrics_.horizontalAdvance(ToQString(utf8)), metrics_.height()};
}

SkinPainter::SkinPainter(const SkinImageSet& images) : font_(SkinCaptionFont()), measure_(font_) {
  for (const SkinImageInfo& info : SKIN_IMAGES) {
    if (!info.isMask) images_[static_cast<size_t>(info.id)] = images.Get(info.id);
  }
  pageSize_ = images.Get(SkinImage::MainMask).size();
}

const SkinPainter::Pictures& SkinPainter::PicturesAt(qreal ratio) const {
  if (ratio == 1) return images_;
  if (ratio != scaledRatio_) {
    // Nearest pixel, as a copy is: at ratio 2 every pixel becomes a 2 x 2 square.
    for (size_t i = 0; i < images_.size(); ++i) {
      const QImage& picture = images_[i];
      scaled_[i] = picture.isNull() ? QImage()
                                    : picture.scaled(ToDevice(picture.width(), ratio),
                                                     ToDevice(picture.height(), ratio),
                                                     Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    scaledRatio_ = ratio;
  }
  return scaled_;
}

void SkinPainter::Paint(QPainter& painter, const std::vector<DrawOp>& ops) const {
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0;
  painter.save();
  if (ratio != 1 && ratio > 0 && painter.worldTransform().isIdentity()) {
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    PaintInDevicePixels(painter, ops, ratio, PicturesAt(ratio));
  } else {
    // A painter with a transform of its own: the pictures are drawn in logical pixels.
    PaintInDevicePixels(painter, ops, 1, images_);
  }
  painter.restore();
}

void SkinPainter::PaintInDevicePixels(QPainter& painter, const std::vector<DrawOp>& ops,
                                      qreal ratio, const Pictures& pictures) const {
  auto picture = [&](SkinImage id) -> const QImage& { return pictures[static_cast<size_t>(id)]; };
  const QTransform pixels = painter.worldTransform();
  const QTransform logical = QTransform::fromScale(ratio, ratio) * pixels;
  painter.setFont(font_);
  for (const DrawOp& op : ops) {
    const QRect target = DeviceRect(op, ratio);
    switch (op.kind) {
      case DrawKind::Page:
        if (!picture(op.image).isNull()) painter.drawImage(QPoint(0, 0), picture(op.image));
        break;
      case DrawKind::CopyItem:
        CopyRect(painter, picture(op.image), target, target.topLeft());
        break;
      case DrawKind::CopyKnob:
        CopyRect(painter, picture(op.image), QRect(QPoint(0, 0), target.size()), target.topLeft());
        break;
      case DrawKind::Caption:
        // The text is laid out in logical pixels, where it was measured. x, y is the top-left
        // corner of its extent; QPainter writes on the baseline.
        painter.setWorldTransform(logical);
        painter.setPen(QColor(op.colour.red, op.colour.green, op.colour.blue));
        painter.drawText(QPoint(op.x, op.y + measure_.Ascent()), ToQString(op.text));
        painter.setWorldTransform(pixels);
        break;
    }
  }
}

QImage SkinPainter::Render(const PaintView& view, const SkinLayout& layout,
                           qreal devicePixelRatio) const {
  const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  const QSize size(ToDevice(pageSize_.width(), ratio), ToDevice(pageSize_.height(), ratio));
  // The last page's memory is drawn over again once the caller has let go of it.
  if (backBuffer_.size() != size) backBuffer_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  backBuffer_.setDevicePixelRatio(1.0);
  const std::vector<DrawOp> ops = ComposePaint(view, layout, measure_);
  const Pictures& pictures = PicturesAt(ratio);
  if (pictures[static_cast<size_t>(PicturesOf(view.currentPage).normal)].isNull()) {
    backBuffer_.fill(Qt::black);
  }
  {
    QPainter painter(&backBuffer_);
    PaintInDevicePixels(painter, ops, ratio, pictures);
  }
  backBuffer_.setDevicePixelRatio(ratio);
  return backBuffer_;
}

}  // namespace kr450
