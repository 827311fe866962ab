// The committed skin is exactly what the generator makes from its description.
#include <gtest/gtest.h>

#include <filesystem>

#include "skin_art.h"
#include "skin_design.h"
#include "skin_writer.h"
#include "tests/support/scratch_dir.h"
#include "ui/skin_image_set.h"
#include "ui/skin_roles.h"

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

// A control that does nothing on a page is drawn pixel for pixel alike in the page's three
// state pictures, so the pointer gets no answer from it; the page's own tab looks chosen under
// the pointer too (the window copies the over picture there).
TEST(SkinGenerator, ControlsThatDoNothingOnAPageAreDrawnAlikeInEveryState) {
  using skin_art::Page;
  using skin_art::State;
  const skin_art::SkinDesign& d = skin_art::DefaultSkinDesign();
  auto mainRect = [&](int i) { return d.main[static_cast<size_t>(i)].rect; };
  struct Case {
    Page page;
    int ownTab;
    std::vector<QRect> inactive;
  };
  const Case cases[] = {
      {Page::Main, main_item::TAB_MAIN, {mainRect(37), mainRect(38), mainRect(39), mainRect(40)}},
      {Page::Advanced,
       main_item::TAB_ADVANCED,
       {mainRect(main_item::SAVE), mainRect(main_item::IMPORT), mainRect(main_item::EXPORT),
        d.advanced[advanced_item::HOVER_ONLY].rect}},
      {Page::Lighting,
       main_item::TAB_LIGHTING,
       {mainRect(main_item::SAVE), mainRect(main_item::IMPORT), mainRect(main_item::EXPORT),
        d.lighting[lighting_item::HOVER_ONLY].rect}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.page));
    const QImage normal = skin_art::PaintPage(d, c.page, State::Normal, std::nullopt);
    const QImage over = skin_art::PaintPage(d, c.page, State::Over, std::nullopt);
    const QImage down = skin_art::PaintPage(d, c.page, State::Down, std::nullopt);
    for (const QRect& r : c.inactive) {
      SCOPED_TRACE(r.x());
      EXPECT_EQ(normal.copy(r), over.copy(r));
      EXPECT_EQ(normal.copy(r), down.copy(r));
    }
    EXPECT_EQ(over.copy(mainRect(c.ownTab)), down.copy(mainRect(c.ownTab)));
    EXPECT_NE(normal.copy(mainRect(main_item::APPLY)), over.copy(mainRect(main_item::APPLY)));
  }
}

TEST(SkinGenerator, TheEmblemTextLiesInsideItsHexagon) {
  const skin_art::SkinDesign& d = skin_art::DefaultSkinDesign();
  const QPolygonF hexagon = skin_art::EmblemHexagon(d);
  const QRectF text = skin_art::EmblemTextBounds(d).adjusted(-2, -2, 2, 2);
  EXPECT_FALSE(text.isEmpty());
  for (const QPointF corner :
       {text.topLeft(), text.topRight(), text.bottomLeft(), text.bottomRight()}) {
    EXPECT_TRUE(hexagon.containsPoint(corner, Qt::OddEvenFill)) << corner.x() << "," << corner.y();
  }
}

}  // namespace
}  // namespace kr450
