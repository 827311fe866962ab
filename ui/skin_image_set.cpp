#include "ui/skin_image_set.h"

#include <QByteArrayView>
#include <QImage>
#include <algorithm>
#include <atomic>
#include <thread>

#include "config/regular_file.h"

namespace kr450 {
namespace {

std::string SizeText(const QSize& size) {
  return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

// The mask whose size the images of a group must have (window) or reach (menus, warning).
std::optional<SkinImage> MaskOf(SkinImageGroup group) {
  switch (group) {
    case SkinImageGroup::Window:
      return SkinImage::MainMask;
    case SkinImageGroup::Menu:
      return SkinImage::MenuMask;
    case SkinImageGroup::SubMenu:
      return SkinImage::SubMenuMask;
    case SkinImageGroup::Warning:
      return SkinImage::WarningMask;
    case SkinImageGroup::Knob:
      break;
  }
  return std::nullopt;
}

// The problem with an image's size, or nothing.
std::optional<std::string> SizeProblem(const SkinImageInfo& info, const QImage& image,
                                       const QImage& mask) {
  if (info.isMask || mask.isNull()) return std::nullopt;
  const bool exact = info.group == SkinImageGroup::Window;
  const bool fits = exact ? image.size() == mask.size()
                          : image.width() >= mask.width() && image.height() >= mask.height();
  if (fits) return std::nullopt;
  const std::string maskName(SkinImageFile(*MaskOf(info.group)).fileName);
  const std::string sizes = "：尺寸 " + SizeText(image.size()) + (exact ? " 与 " : " 小于 ") +
                            maskName + " 的 " + SizeText(mask.size());
  return std::string(info.fileName) + sizes + (exact ? " 不同" : "");
}

}  // namespace

std::optional<QImage> DecodeSkinImage(const std::string& path) {
  // Through the guarded read: a pipe or a device in the skin folder must not stall the start.
  const Result<std::string> bytes = ReadRegularFile(path);
  if (!bytes) return std::nullopt;
  QImage image =
      QImage::fromData(QByteArrayView(bytes->data(), static_cast<qsizetype>(bytes->size())));
  if (image.isNull()) return std::nullopt;
  return image.convertToFormat(QImage::Format_RGB32);
}

PixelRows PixelRowsOf(const QImage& image) {
  return {image.width(), image.height(), reinterpret_cast<const uint32_t*>(image.constBits()),
          image.bytesPerLine() / 4};
}

SkinImageSet SkinImageSet::Load(const std::string& skinDirectory,
                                std::vector<std::string>* problems) {
  SkinImageSet set;
  // The pictures are decoded side by side: decoding is most of the window's start-up.
  std::array<std::optional<QImage>, SKIN_IMAGES.size()> decoded;
  std::atomic<size_t> next{0};
  auto decode = [&] {
    for (size_t i; (i = next.fetch_add(1)) < SKIN_IMAGES.size();) {
      decoded[i] = DecodeSkinImage(skinDirectory + "/" + std::string(SKIN_IMAGES[i].fileName));
    }
  };
  const unsigned helpers = std::min(3u, std::max(1u, std::thread::hardware_concurrency()) - 1);
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < helpers; ++i) threads.emplace_back(decode);
  decode();
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < SKIN_IMAGES.size(); ++i) {
    if (!decoded[i]) {
      problems->push_back(std::string(SKIN_IMAGES[i].fileName) + "：无法读取");
      continue;
    }
    set.images_[static_cast<size_t>(SKIN_IMAGES[i].id)] = std::move(*decoded[i]);
  }
  for (const SkinImageInfo& info : SKIN_IMAGES) {
    QImage& image = set.images_[static_cast<size_t>(info.id)];
    const std::optional<SkinImage> mask = MaskOf(info.group);
    if (image.isNull() || !mask) continue;
    if (auto problem = SizeProblem(info, image, set.Get(*mask))) {
      problems->push_back(*problem);
      image = QImage();
    }
  }
  return set;
}

}  // namespace kr450
