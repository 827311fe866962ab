// The pages as SkinPainter renders them from the shipped skin: the pictures the plan names at
// the places it names, the captions in their colours, and the same page at higher pixel ratios.
#include "ui/skin_painter.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "skin_test_support.h"
#include "ui/skin_fonts.h"
#include "ui/skin_loader.h"
#include "ui/skin_roles.h"

namespace kr450 {
namespace {

const std::string SKIN_DIR = std::string(KR450_SOURCE_DIR) + "/data/skins";

class RenderedPages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InstallSkinFontSubstitutes();
    skin = new LoadedSkin;
    test::RecordingSink sink;
    test::CountingWindow window;
    ASSERT_TRUE(LoadSkin(SKIN_DIR, sink, window, skin));
    painter = new SkinPainter(skin->images);
  }
  static void TearDownTestSuite() {
    delete painter;
    delete skin;
  }

  static PaintView View(int page) {
    PaintView view;
    view.currentPage = page;
    view.currentConfig = 1;
    view.config.dpiLevel = 0;
    view.config.dpiStage = {0, 0, 0, 0};
    view.config.pointerSpeed = 8;
    view.previewStage = 1;
    return view;
  }
  const SkinItem& Main(int i) const { return skin->layout.main[static_cast<size_t>(i)]; }
  const QImage& Picture(SkinImage id) const { return skin->images.Get(id); }

  // The rendered pixel at logical (x, y) is the picture's pixel at (px, py).
  static void ExpectPixel(const QImage& page, int x, int y, const QImage& picture, int px, int py,
                          const char* what) {
    const qreal ratio = page.devicePixelRatio();
    // The centre of the device pixels that show the logical pixel.
    const int dx = static_cast<int>(std::floor((x + 0.5) * ratio));
    const int dy = static_cast<int>(std::floor((y + 0.5) * ratio));
    EXPECT_EQ(QColor(page.pixel(dx, dy)), QColor(picture.pixel(px, py)))
        << what << " at " << x << "," << y << " ratio " << ratio;
  }
  // Three pixels inside the item, clear of its caption (two corners and the middle of its top
  // row), come from `picture`.
  void ExpectItemFrom(const QImage& page, const SkinItem& item, const QImage& picture,
                      const char* what) const {
    const QPoint points[] = {{item.x + 1, item.y + 1},
                             {item.x + item.width / 2, item.y + 1},
                             {item.x + item.width - 2, item.y + item.height - 2}};
    for (const QPoint p : points) ExpectPixel(page, p.x(), p.y(), picture, p.x(), p.y(), what);
  }
  // Pixels of the caption colour inside a logical rectangle.
  static int PixelsNear(const QImage& page, QRect logical, QColor colour) {
    const qreal ratio = page.devicePixelRatio();
    const QRect r(static_cast<int>(logical.x() * ratio), static_cast<int>(logical.y() * ratio),
                  static_cast<int>(logical.width() * ratio),
                  static_cast<int>(logical.height() * ratio));
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) {
        const QColor c(page.pixel(x, y));
        if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                std::abs(c.blue() - colour.blue()) <
            60) {
          ++count;
        }
      }
    }
    return count;
  }

  static inline LoadedSkin* skin = nullptr;
  static inline SkinPainter* painter = nullptr;
};

TEST_F(RenderedPages, MainPageCopiesTheStatePicturesAtEveryRatio) {
  PaintView view = View(PAGE_MAIN);
  view.hoverMain = main_item::SAVE;
  view.config.dpiLevel = 1;
  view.config.dpiStage = {0, 3, 0, 0};
  view.config.dpiStageEnabled = {1, 1, 0, 0};
  view.driverRunning = false;
  view.promptButton = 2;
  view.promptBlink = true;
  for (const qreal ratio : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(ratio);
    const QImage page = painter->Render(view, skin->layout, ratio);
    EXPECT_EQ(page.deviceIndependentSize().toSize(), painter->PageSize());
    EXPECT_EQ(page.size(),
              QSize(static_cast<int>(std::ceil(painter->PageSize().width() * ratio)),
                    static_cast<int>(std::ceil(painter->PageSize().height() * ratio))));
    const QImage& normal = Picture(SkinImage::MainNormal);
    const QImage& over = Picture(SkinImage::MainOver);
    const QImage& down = Picture(SkinImage::MainDown);
    ExpectItemFrom(page, Main(main_item::SAVE), over, "hovered save");
    ExpectItemFrom(page, Main(main_item::Config(1)), down, "configuration 1");
    ExpectItemFrom(page, Main(main_item::Config(2)), normal, "configuration 2");
    ExpectItemFrom(page, Main(main_item::TAB_MAIN), down, "main tab");
    ExpectItemFrom(page, Main(main_item::TAB_LIGHTING), normal, "lighting tab");
    ExpectItemFrom(page, Main(main_item::FIRST_STAGE_MARKER + 1), down, "stage 2 marker");
    ExpectItemFrom(page, Main(main_item::FIRST_STAGE_MARKER), normal, "stage 1 marker");
    ExpectItemFrom(page, Main(main_item::FIRST_STAGE_ENABLE + 1), down, "stage 2 enabled");
    ExpectItemFrom(page, Main(main_item::FIRST_STAGE_ENABLE + 2), normal, "stage 3 disabled");
    ExpectItemFrom(page, Main(main_item::WHEEL_OFF), down, "wheel off");
    ExpectItemFrom(page, Main(main_item::FIRST_PROMPT + 1), over, "prompt of button 2");
    // The knob: from the knob picture's top-left corner.
    const SkinItem& knob = Main(main_item::KnobPlace(1, 3));
    ExpectPixel(page, knob.x + 2, knob.y + 2, Picture(SkinImage::DpiKnob), 2, 2, "knob");
    ExpectPixel(page, knob.x + knob.width / 2, knob.y + knob.height / 2,
                Picture(SkinImage::DpiKnob), knob.width / 2, knob.height / 2, "knob");
    // The status line in yellow inside its item.
    const SkinItem& status = Main(main_item::STATUS_LINE);
    EXPECT_GT(PixelsNear(page, QRect(status.x, status.y, status.width, status.height),
                         QColor(255, 255, 0)),
              20);
  }
}

TEST_F(RenderedPages, AdvancedPageShowsItsSwitchesAndTheFrame) {
  PaintView view = View(PAGE_ADVANCED);
  view.currentConfig = 3;
  view.recording = true;
  view.config.pointerSpeed = 10;
  view.config.macroMode = 1;
  view.hoverAdvanced = advanced_item::ADD_MACRO;
  const QImage page = painter->Render(view, skin->layout, 1.0);
  const QImage& normal = Picture(SkinImage::AdvancedNormal);
  const QImage& over = Picture(SkinImage::AdvancedOver);
  const QImage& down = Picture(SkinImage::AdvancedDown);
  const auto& advanced = skin->layout.advanced;
  ExpectItemFrom(page, advanced[advanced_item::RECORD], down, "recording");
  ExpectItemFrom(page, advanced[10], down, "speed 10");
  ExpectItemFrom(page, advanced[9], normal, "speed 9");
  ExpectItemFrom(page, advanced[advanced_item::MACRO_MODE], down, "macro mode");
  ExpectItemFrom(page, advanced[advanced_item::REPEAT], normal, "no repeat");
  ExpectItemFrom(page, advanced[advanced_item::ADD_MACRO], over, "hovered add");
  ExpectItemFrom(page, Main(main_item::Config(3)), down, "configuration 3");
  ExpectItemFrom(page, Main(main_item::TAB_ADVANCED), down, "advanced tab");
}

TEST_F(RenderedPages, LightingPageShowsTheModeAndEachPreviewColour) {
  const SkinItem& area = skin->layout.lighting[11];
  struct Case {
    bool off;
    int stage;
    SkinImage expected;
  };
  const Case cases[] = {{true, 0, SkinImage::PreviewGray},
                        {false, 0, SkinImage::PreviewBlue},
                        {false, 1, SkinImage::LightingNormal},
                        {false, 2, SkinImage::LightingOver},
                        {false, 3, SkinImage::LightingDown}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stage);
    PaintView view = View(PAGE_LIGHTING);
    view.config.ledStatus = 2;
    view.previewOff = c.off;
    view.previewStage = c.stage;
    const QImage page = painter->Render(view, skin->layout, 2.0);
    ExpectItemFrom(page, area, Picture(c.expected), "preview");
    ExpectItemFrom(page, skin->layout.lighting[2], Picture(SkinImage::LightingDown), "mode 2");
    ExpectItemFrom(page, skin->layout.lighting[1], Picture(SkinImage::LightingNormal), "mode 1");
  }
}

// The captions land where the plan puts them at every ratio: the rendered text's pixels lie in
// the caption's measured box, shifted by no more than a pixel.
TEST_F(RenderedPages, CaptionsStayInRegisterAtHigherRatios) {
  PaintView view = View(PAGE_MAIN);
  view.hoverMain = main_item::Slot(1);
  view.config.buttons = {1, 2, 3, 5, 4, 6};
  const std::vector<DrawOp> ops = ComposePaint(view, skin->layout, painter->Measure());
  const DrawOp* slot = nullptr;
  for (const DrawOp& op : ops) {
    if (op.kind == DrawKind::Caption && op.item == main_item::Slot(1)) slot = &op;
  }
  ASSERT_NE(slot, nullptr);
  ASSERT_FALSE(slot->text.empty());
  const QRect box(slot->x, slot->y, slot->width, slot->height);
  for (const qreal ratio : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(ratio);
    const QImage page = painter->Render(view, skin->layout, ratio);
    const int inside = PixelsNear(page, box, QColor(255, 0, 0));
    EXPECT_GT(inside, 10);
    // Red pixels in the slot outside the caption's box, one pixel around it excepted.
    const SkinItem& item = Main(main_item::Slot(1));
    const int slotRed =
        PixelsNear(page, QRect(item.x, item.y, item.width, item.height), QColor(255, 0, 0));
    const int grownRed = PixelsNear(page, box.adjusted(-1, -1, 1, 1), QColor(255, 0, 0));
    EXPECT_EQ(slotRed, grownRed);
  }
}

TEST_F(RenderedPages, PaintDrawsIntoAnyPainterInLogicalPixels) {
  const PaintView view = View(PAGE_MAIN);
  QImage target(painter->PageSize() * 2, QImage::Format_ARGB32_Premultiplied);
  target.setDevicePixelRatio(2.0);
  {
    QPainter p(&target);
    painter->Paint(p, ComposePaint(view, skin->layout, painter->Measure()));
  }
  const QImage rendered = painter->Render(view, skin->layout, 2.0);
  EXPECT_EQ(target.convertToFormat(QImage::Format_RGB32),
            rendered.convertToFormat(QImage::Format_RGB32));
}

// The popups' plans name their own pictures; the same painter draws them.
TEST_F(RenderedPages, PaintDrawsThePopupsPicturesToo) {
  const QImage& menu = Picture(SkinImage::MenuNormal);
  QImage target(menu.size(), QImage::Format_ARGB32_Premultiplied);
  target.fill(Qt::black);
  DrawOp page;
  page.kind = DrawKind::Page;
  page.image = SkinImage::MenuNormal;
  DrawOp row;
  row.kind = DrawKind::CopyItem;
  row.image = SkinImage::MenuOver;
  row.x = 4;
  row.y = 6;
  row.width = 20;
  row.height = 10;
  {
    QPainter p(&target);
    painter->Paint(p, {page, row});
  }
  ExpectPixel(target, 30, 30, menu, 30, 30, "menu");
  ExpectPixel(target, 5, 7, Picture(SkinImage::MenuOver), 5, 7, "menu row");
}

TEST_F(RenderedPages, CopiesAreCutToTheirPicture) {
  // A knob place larger than the knob picture, and an item that reaches past the page.
  SkinLayout layout = skin->layout;
  const QSize knob = Picture(SkinImage::DpiKnob).size();
  SkinItem& place = layout.main[static_cast<size_t>(main_item::KnobPlace(0, 0))];
  place.width = knob.width() + 20;
  place.height = knob.height() + 20;
  layout.main[main_item::SAVE] = {painter->PageSize().width() - 10, 5, 50, 50, "x"};
  PaintView view = View(PAGE_MAIN);
  view.hoverMain = main_item::SAVE;
  const QImage page = painter->Render(view, layout, 1.0);
  // Beyond the knob picture the page shows through.
  ExpectPixel(page, place.x + knob.width() + 5, place.y + knob.height() + 5,
              Picture(SkinImage::MainNormal), place.x + knob.width() + 5,
              place.y + knob.height() + 5, "beside the knob");
  ExpectPixel(page, place.x + 1, place.y + 1, Picture(SkinImage::DpiKnob), 1, 1, "knob");
}

}  // namespace
}  // namespace kr450
