#pragma once

#include <QImage>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/pixel_region.h"
#include "ui/skin_images.h"

namespace kr450 {

// Decodes one image file (JPEG or BMP, by its content) into 32-bit RGB; nothing when the
// file is missing or cannot be decoded.
std::optional<QImage> DecodeSkinImage(const std::string& path);

// The pixel rows of an image in RGB32 or ARGB32 format, for the region rule.
PixelRows PixelRowsOf(const QImage& image);

// Every image of a skin folder, decoded once.
class SkinImageSet {
 public:
  // Decodes all images of the folder. `problems` gets one line for each image that cannot
  // be decoded, for each page image whose size is not that of main_mask.jpg, and for each
  // menu or warning image smaller than its mask. Images with a problem stay null.
  static SkinImageSet Load(const std::string& skinDirectory, std::vector<std::string>* problems);

  const QImage& Get(SkinImage id) const { return images_[static_cast<size_t>(id)]; }

 private:
  std::array<QImage, SKIN_IMAGES.size()> images_;
};

}  // namespace kr450
