// The committed skin is exactly what the generator makes from its description.
#include <gtest/gtest.h>

#include <filesystem>

#include "skin_art.h"
#include "skin_design.h"
#include "skin_writer.h"
#include "tests/support/scratch_dir.h"
#include "ui/skin_image_set.h"

namespace kr450 {
namespace {

TEST(SkinGenerator, RegeneratingGivesTheCommittedFiles) {
  test::ScratchDir dir;
  QString error;
  ASSERT_TRUE(skin_art::WriteSkin(skin_art::DefaultSkinDesign(),
                                  QString::fromStdString(dir.path().string()), &error))
      << error.toStdString();
  const std::string committed = std::string(KR450_SOURCE_DIR) + "/data/skins/";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    EXPECT_TRUE(test::ReadFileBytes(entry.path()) == test::ReadFileBytes(committed + name))
        << "data/skins/" << name << " differs from what the generator makes.\n"
        << "The bytes depend on the versions of Qt, libjpeg and the fonts; the committed files "
           "come from Debian 12 (Qt 6.4, libjpeg-turbo 2.1, WenQuanYi Zen Hei 0.9.45), so on "
           "another system this fails without a fault. Regenerate with `cmake --build <dir> "
           "--target skin`, look at tools/skin_generator/preview/ and commit data/skins and the "
           "previews from a Debian 12 build.";
    ++files;
  }
  EXPECT_EQ(files, 28);  // four layout files and 24 images
}

// The mask is a JPEG; its decoded pixels must still give the drawn outline.
TEST(SkinGenerator, TheStoredMaskKeepsTheOutline) {
  const QImage drawn = skin_art::PaintWindowMask(skin_art::DefaultSkinDesign());
  const std::optional<QImage> stored =
      DecodeSkinImage(std::string(KR450_SOURCE_DIR) + "/data/skins/main_mask.jpg");
  ASSERT_TRUE(stored);
  ASSERT_EQ(stored->size(), drawn.size());
  const QImage drawnRgb = drawn.convertToFormat(QImage::Format_RGB32);
  const RunRegion expected = RunRegion::FromMask(PixelRowsOf(drawnRgb));
  const RunRegion decoded = RunRegion::FromMask(PixelRowsOf(*stored));
  EXPECT_EQ(decoded, expected);
}

}  // namespace
}  // namespace kr450
