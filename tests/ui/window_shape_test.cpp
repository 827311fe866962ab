#include "ui/window_shape_qt.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <filesystem>
#include <random>

#include "skin_test_support.h"
#include "tests/support/scratch_dir.h"
#include "ui/skin_fonts.h"
#include "ui/skin_image_set.h"
#include "ui/skin_loader.h"

namespace kr450 {
namespace {

using test::CountingWindow;
using test::RecordingSink;
using test::ScratchDir;

// The region the one-pixel-at-a-time way: the full rectangle, every cut pixel removed by
// exclusive-or.
QRegion NaiveShape(const QImage& mask) {
  QRegion region(0, 0, mask.width(), mask.height());
  for (int x = 0; x < mask.width(); ++x) {
    for (int y = 0; y < mask.height(); ++y) {
      if (IsCutPixel(mask.pixel(x, y))) region = region.xored(QRegion(x, y, 1, 1));
    }
  }
  return region;
}

QImage RandomMask(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  QImage image(width, height, QImage::Format_RGB32);
  bool dark = false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (random() % 4 == 0) dark = !dark;
      image.setPixel(x, y, dark ? qRgb(40, 200, 40) : qRgb(180, 180, 180));
    }
  }
  return image;
}

QRect RectOf(const ControlRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

TEST(WindowShape, EqualsThePixelByPixelConstruction) {
  for (unsigned seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE(seed);
    const QImage mask = RandomMask(31, 17, seed);
    const ControlRect name{3, 2, 20, 6}, events{10, 5, 40, 12}, macros{0, 14, 9, 17};
    const WindowShape shape = BuildWindowShape(mask, name, events, macros);
    EXPECT_EQ(shape.maskWidth, 31);
    EXPECT_EQ(shape.maskHeight, 17);
    const QRegion naive = NaiveShape(mask);
    EXPECT_EQ(shape.windowShape, naive);
    EXPECT_EQ(shape.advancedRepaintRegion, naive.xored(RectOf(name))
                                               .xored(RectOf(events))
                                               .xored(RectOf(macros))
                                               .intersected(QRect(0, 0, 31, 17)));
  }
}

TEST(WindowShape, WarningShapeOfADecodedBitmap) {
  const std::optional<QImage> mask =
      DecodeSkinImage(std::string(KR450_FIXTURES) + "/ui/ring_mask.bmp");
  ASSERT_TRUE(mask);
  const QRegion shape = BuildWarningShape(*mask);
  QRegion expected = QRegion(2, 1, 5, 5).subtracted(QRegion(4, 3, 1, 1));
  expected += QRegion(0, 0, 1, 1);  // (101, 101, 100) stays
  expected += QRegion(8, 6, 1, 1);  // (100, 255, 255) stays
  EXPECT_EQ(shape, expected);
  EXPECT_EQ(shape, NaiveShape(*mask));
}

TEST(WindowShape, AWhiteMaskGivesAnEmptyRegion) {
  QImage white(12, 8, QImage::Format_RGB32);
  white.fill(Qt::white);
  EXPECT_TRUE(BuildWindowShape(white, {}, {}, {}).windowShape.isEmpty());
}

TEST(SkinFonts, TheSkinFaceIsAChineseFont) {
  InstallSkinFontSubstitutes();
  const QFont font = SkinCaptionFont();
  EXPECT_EQ(font.pointSize(), 10);
  EXPECT_TRUE(QFontInfo(font).family().startsWith("WenQuanYi"))
      << QFontInfo(font).family().toStdString();
  const QFontMetrics metrics(font);
  for (char32_t c : U"保存录制宏键") EXPECT_TRUE(c == 0 || metrics.inFontUcs4(c)) << int(c);
}

// A copy of the shipped skin to break in one way per test.
class LoadSkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(std::string(KR450_SOURCE_DIR) + "/data/skins", dir.path(),
                          std::filesystem::copy_options::recursive);
  }
  bool Load() { return LoadSkin(dir.path().string(), sink, window, &skin); }
  void Replace(const std::string& name, const QImage& image) {
    ASSERT_TRUE(image.save(QString::fromStdString(dir.File(name)), "JPG", 100));
  }
  ScratchDir dir;
  RecordingSink sink;
  CountingWindow window;
  LoadedSkin skin;
};

TEST_F(LoadSkinTest, TheShippedSkinLoadsSilently) {
  EXPECT_TRUE(Load());
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(window.shutdowns, 0);
}

TEST_F(LoadSkinTest, AMaskThatCannotBeDecodedEndsTheDriverWithAMessage) {
  dir.Write("main_mask.jpg", "not a picture");
  EXPECT_FALSE(Load());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "皮肤图片无法使用：\nmain_mask.jpg：无法读取");
  EXPECT_EQ(window.shutdowns, 1);
}

TEST_F(LoadSkinTest, PageImagesOfTheWrongSizeAndMissingImagesAreNamed) {
  QImage small(400, 320, QImage::Format_RGB32);
  small.fill(Qt::black);
  Replace("advanced_over.jpg", small);
  std::filesystem::remove(dir.File("menu_down.jpg"));
  dir.Write("warning_mask.bmp", "");
  EXPECT_FALSE(Load());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0],
            "皮肤图片无法使用：\nmenu_down.jpg：无法读取\nwarning_mask.bmp：无法读取\n"
            "advanced_over.jpg：尺寸 400x320 与 main_mask.jpg 的 800x640 不同");
  EXPECT_EQ(window.shutdowns, 1);
  EXPECT_TRUE(skin.images.Get(SkinImage::AdvancedOver).isNull());
}

// The decoder would wait for ever on a named pipe.
TEST_F(LoadSkinTest, AnImageThatIsNoFileCannotBeRead) {
  std::filesystem::remove(dir.File("menu_down.jpg"));
  ASSERT_EQ(::mkfifo(dir.File("menu_down.jpg").c_str(), 0644), 0);
  EXPECT_FALSE(Load());
  EXPECT_EQ(sink.messages, std::vector<std::string>{"皮肤图片无法使用：\nmenu_down.jpg：无法读取"});
}

TEST_F(LoadSkinTest, AMaskWithoutAnyWindowIsRefused) {
  QImage white(800, 640, QImage::Format_RGB32);
  white.fill(Qt::white);
  Replace("main_mask.jpg", white);
  EXPECT_FALSE(Load());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "皮肤图片无法使用：\nmain_mask.jpg：没有可显示的窗口区域");
}

TEST_F(LoadSkinTest, AMissingLayoutFileAndABadImageAskForOneShutdown) {
  std::filesystem::remove(dir.File("skin_color.ini"));
  dir.Write("dpi_slider.jpg", "garbage");
  EXPECT_FALSE(Load());
  EXPECT_EQ(sink.messages, (std::vector<std::string>{
                               "找不到配置文件", "皮肤图片无法使用：\ndpi_slider.jpg：无法读取"}));
  EXPECT_EQ(window.shutdowns, 1);
}

}  // namespace
}  // namespace kr450
