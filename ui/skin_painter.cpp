#include "ui/skin_painter.h"

#include <QColor>
#include <QString>
#include <cmath>

#include "ui/skin_fonts.h"

namespace kr450 {
namespace {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Copies `source` of `picture` to `target`'s top-left corner, both cut to the picture.
void CopyRect(QPainter& painter, const QImage& picture, QRect source, QPoint target) {
  const QRect cut = source.intersected(picture.rect());
  if (picture.isNull() || cut.isEmpty()) return;
  painter.drawImage(QRect(target + (cut.topLeft() - source.topLeft()), cut.size()), picture, cut);
}

}  // namespace

TextExtent QtTextMeasure::Measure(std::string_view utf8) const {
  return {metrics_.horizontalAdvance(ToQString(utf8)), metrics_.height()};
}

SkinPainter::SkinPainter(const SkinImageSet& images) : font_(SkinCaptionFont()), measure_(font_) {
  for (const SkinImageInfo& info : SKIN_IMAGES) {
    if (info.group == SkinImageGroup::Window || info.group == SkinImageGroup::Knob) {
      images_[static_cast<size_t>(info.id)] = images.Get(info.id);
    }
  }
  pageSize_ = Picture(SkinImage::MainMask).size();
}

void SkinPainter::Paint(QPainter& painter, const std::vector<DrawOp>& ops) const {
  painter.save();
  painter.setFont(font_);
  for (const DrawOp& op : ops) {
    switch (op.kind) {
      case DrawKind::Page: {
        const QImage& picture = Picture(op.image);
        if (!picture.isNull()) painter.drawImage(QPoint(0, 0), picture);
        break;
      }
      case DrawKind::CopyItem:
        CopyRect(painter, Picture(op.image), QRect(op.x, op.y, op.width, op.height),
                 QPoint(op.x, op.y));
        break;
      case DrawKind::CopyKnob:
        CopyRect(painter, Picture(op.image), QRect(0, 0, op.width, op.height), QPoint(op.x, op.y));
        break;
      case DrawKind::Caption:
        // x, y is the top-left corner of the caption's extent; QPainter writes on the baseline.
        painter.setPen(QColor(op.colour.red, op.colour.green, op.colour.blue));
        painter.drawText(QPoint(op.x, op.y + measure_.Ascent()), ToQString(op.text));
        break;
    }
  }
  painter.restore();
}

QImage SkinPainter::Render(const PaintView& view, const SkinLayout& layout,
                           qreal devicePixelRatio) const {
  const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  QImage page(static_cast<int>(std::ceil(pageSize_.width() * ratio)),
              static_cast<int>(std::ceil(pageSize_.height() * ratio)),
              QImage::Format_ARGB32_Premultiplied);
  page.setDevicePixelRatio(ratio);
  page.fill(Qt::black);
  QPainter painter(&page);
  Paint(painter, ComposePaint(view, layout, measure_));
  return page;
}

}  // namespace kr450
