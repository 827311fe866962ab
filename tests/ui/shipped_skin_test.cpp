// The skin in data/skins, read with the driver's own reader: complete, consistent with its
// pictures, and laid out so that the window can draw and hit-test it.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <span>

#include "skin_test_support.h"
#include "ui/skin_fonts.h"
#include "ui/skin_loader.h"
#include "ui/skin_roles.h"

namespace kr450 {
namespace {

using test::CountingWindow;
using test::RecordingSink;

const std::string SKIN_DIR = std::string(KR450_SOURCE_DIR) + "/data/skins";

QRect RectOf(const SkinItem& item) {
  return QRect(item.x, item.y, item.width, item.height);
}
QRect RectOf(const ControlRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

// Mean difference of the channels of two pictures inside a rectangle.
double MeanDifference(const QImage& a, const QImage& b, const QRect& r) {
  double sum = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  }
  return sum / (3.0 * r.width() * r.height());
}

QColor MeanColour(const QImage& image, const QRect& r) {
  double red = 0, green = 0, blue = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      red += qRed(image.pixel(x, y));
      green += qGreen(image.pixel(x, y));
      blue += qBlue(image.pixel(x, y));
    }
  }
  const double n = r.width() * r.height();
  return QColor(int(red / n), int(green / n), int(blue / n));
}

// How coloured a picture is inside a rectangle: the mean spread of each pixel's channels.
double MeanChroma(const QImage& image, const QRect& r) {
  double sum = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      sum += std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
    }
  }
  return sum / (r.width() * r.height());
}

// Relative luminance of a colour as screens show it (sRGB), and the contrast of two colours
// from 1 (the same) to 21 (black on white).
double Luminance(QColor c) {
  auto linear = [](int value) {
    const double v = value / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}
double Contrast(QColor a, QColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Mean colour of the pixels of a rectangle whose distance from its edge is in [from, to).
QColor BandColour(const QImage& image, const QRect& r, int from, int to) {
  double red = 0, green = 0, blue = 0;
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const int edge = std::min({x - r.left(), r.right() - x, y - r.top(), r.bottom() - y});
      if (edge < from || edge >= to) continue;
      const QRgb p = image.pixel(x, y);
      red += qRed(p);
      green += qGreen(p);
      blue += qBlue(p);
      ++n;
    }
  }
  return QColor(int(red / n), int(green / n), int(blue / n));
}

// How strongly a control's outline stands out: the contrast of the band one to three pixels
// in from its edge, where the faces draw their outlines, with its face seven to nine pixels in.
double OutlineContrast(const QImage& image, const QRect& r) {
  return Contrast(BandColour(image, r, 0, 4), BandColour(image, r, 7, 10));
}

struct Named {
  std::string name;
  QRect rect;
};

void ExpectApart(const std::vector<Named>& rects) {
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      EXPECT_FALSE(rects[i].rect.intersects(rects[j].rect))
          << rects[i].name << " overlaps " << rects[j].name;
    }
  }
}

template <size_t N>
std::vector<Named> Entries(const char* table, const std::array<SkinItem, N>& items, size_t first,
                           size_t last) {
  std::vector<Named> out;
  for (size_t i = first; i <= last; ++i) {
    out.push_back({std::string(table) + " " + std::to_string(i), RectOf(items[i])});
  }
  return out;
}

std::vector<Named> Join(std::vector<Named> a, const std::vector<Named>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

template <size_t N>
Named Entry(const char* table, const std::array<SkinItem, N>& items, int i) {
  return {std::string(table) + " " + std::to_string(i), RectOf(items[static_cast<size_t>(i)])};
}

// Pictures that should be alike differ by less than this (JPEG noise from changed neighbours).
constexpr double JPEG_NOISE = 1.0;

class ShippedSkin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InstallSkinFontSubstitutes();
    skin = new LoadedSkin;
    loaded = LoadSkin(SKIN_DIR, sink, window, skin);
  }
  static void TearDownTestSuite() { delete skin; }

  const SkinLayout& layout() const { return skin->layout; }
  const QImage& image(SkinImage id) const { return skin->images.Get(id); }
  Named MainEntry(int i) const { return Entry("main", layout().main, i); }
  std::vector<Named> Frame() const {
    return Entries("main", layout().main, 0, main_item::LAST_FRAME);
  }
  // Every pixel of the rectangle is part of the window.
  void ExpectInWindow(const Named& item) const {
    EXPECT_FALSE(item.rect.isEmpty()) << item.name << " is empty";
    EXPECT_EQ(skin->shape.windowShape.intersected(item.rect), QRegion(item.rect))
        << item.name << " is not inside the window shape";
  }
  void ExpectCaptionFits(const SkinItem& item, const std::string& text, bool slot = false) const {
    const QFontMetrics metrics(SkinCaptionFont());
    const int width = metrics.horizontalAdvance(QString::fromStdString(text));
    // A slot's caption starts 5 pixels in and must not reach its drop-down mark.
    EXPECT_LE(width + (slot ? 5 + 18 : 4), item.width) << "\"" << text << "\" is too wide";
    EXPECT_LE(metrics.height(), item.height) << "\"" << text << "\" is too high";
  }

  const QImage& Over(SkinImage normal) const {
    return image(static_cast<SkinImage>(static_cast<int>(normal) + 1));
  }
  const QImage& Down(SkinImage normal) const {
    return image(static_cast<SkinImage>(static_cast<int>(normal) + 2));
  }

  // What each page draws from its three pictures, by what the controls do there. Save, import
  // and export act on the main page only; the page's own tab does nothing on it; the colour
  // swatches and the hint boxes have no action anywhere.
  struct PageControls {
    SkinImage normal;          // the over and down pictures follow it
    std::vector<Named> faced;  // live controls with a face: buttons, tabs, slots
    std::vector<Named> marks;  // live controls drawn as a mark: switches, slider places
    std::vector<Named> inactive;
    Named ownTab;
  };
  std::vector<PageControls> Pages() const {
    const std::set<int> mainOnly = {main_item::SAVE, main_item::IMPORT, main_item::EXPORT};
    auto frame = [&](bool mainPage, int ownTab, PageControls& page) {
      for (int i = 0; i <= main_item::LAST_FRAME; ++i) {
        if (i == main_item::STATUS_LINE) continue;
        const Named item = MainEntry(i);
        if (i == ownTab) {
          page.ownTab = item;
        } else if (!mainPage && mainOnly.count(i)) {
          page.inactive.push_back(item);
        } else {
          page.faced.push_back(item);
        }
      }
    };
    PageControls main{SkinImage::MainNormal, {}, {}, {}, {}};
    frame(true, main_item::TAB_MAIN, main);
    for (int i = main_item::Slot(1); i <= main_item::Slot(6); ++i) {
      main.faced.push_back(MainEntry(i));
    }
    for (int s = 0; s < 4; ++s) {
      main.faced.push_back(MainEntry(main_item::FIRST_STAGE_SELECT + s));
      main.marks.push_back(MainEntry(main_item::FIRST_STAGE_ENABLE + s));
      for (int v = 0; v < 5; ++v) main.marks.push_back(MainEntry(main_item::KnobPlace(s, v)));
      main.inactive.push_back(MainEntry(main_item::FIRST_DECORATION + s));
    }
    main.faced.push_back(MainEntry(main_item::WHEEL_OFF));
    main.faced.push_back(MainEntry(main_item::WHEEL_ON));
    PageControls advanced{SkinImage::AdvancedNormal, {}, {}, {}, {}};
    frame(false, main_item::TAB_ADVANCED, advanced);
    for (int j = 0; j < advanced_item::HOVER_ONLY; ++j) {
      advanced.faced.push_back(Entry("advanced", layout().advanced, j));
    }
    advanced.inactive.push_back(Entry("advanced", layout().advanced, advanced_item::HOVER_ONLY));
    PageControls lighting{SkinImage::LightingNormal, {}, {}, {}, {}};
    frame(false, main_item::TAB_LIGHTING, lighting);
    for (int j = 0; j < lighting_item::HOVER_ONLY; ++j) {
      lighting.faced.push_back(Entry("lighting", layout().lighting, j));
    }
    lighting.inactive.push_back(Entry("lighting", layout().lighting, lighting_item::HOVER_ONLY));
    return {main, advanced, lighting};
  }

  static inline RecordingSink sink;
  static inline CountingWindow window;
  static inline LoadedSkin* skin = nullptr;
  static inline bool loaded = false;
};

TEST_F(ShippedSkin, EveryFileIsPresentAndReadsWithoutAMessage) {
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  EXPECT_EQ(window.shutdowns, 0);
  for (const SkinImageInfo& info : SKIN_IMAGES) {
    EXPECT_FALSE(image(info.id).isNull()) << info.fileName;
  }
  EXPECT_TRUE(std::filesystem::exists(SKIN_DIR + "/defMacro.dat"));
}

TEST_F(ShippedSkin, TheWindowIsShapedAndAbout800By640) {
  EXPECT_EQ(skin->shape.maskWidth, 800);
  EXPECT_EQ(skin->shape.maskHeight, 640);
  const QRegion full(0, 0, 800, 640);
  EXPECT_NE(skin->shape.windowShape, full);
  // Cut corners only: at least 95 % of the rectangle is window.
  int64_t area = 0;
  for (const QRect& r : skin->shape.windowShape) area += int64_t{r.width()} * r.height();
  EXPECT_GT(area, 800 * 640 * 95 / 100);
  for (const SkinImageInfo& info : SKIN_IMAGES) {
    if (info.group == SkinImageGroup::Window) {
      EXPECT_EQ(image(info.id).size(), QSize(800, 640)) << info.fileName;
    }
  }
}

TEST_F(ShippedSkin, EveryControlLiesInsideTheWindowShape) {
  for (const Named& item : Entries("main", layout().main, 0, main_item::FIRST_PROMPT + 5)) {
    ExpectInWindow(item);
  }
  for (const Named& item : Entries("lighting", layout().lighting, 0, 11)) ExpectInWindow(item);
  for (const Named& item : Entries("advanced", layout().advanced, 0, 19)) ExpectInWindow(item);
  for (const ControlRect* r : {&layout().repeatCountField, &layout().nameField, &layout().macroList,
                               &layout().eventList}) {
    ExpectInWindow({"child control", RectOf(*r)});
  }
  for (size_t i = 75; i < MAIN_TABLE_SIZE; ++i) EXPECT_TRUE(layout().main[i].empty()) << i;
}

TEST_F(ShippedSkin, ControlsOfOnePageNeverOverlap) {
  // The first rectangle wins a hit test, so an overlap would hide a control.
  ExpectApart(Entries("main", layout().main, 0, main_item::FIRST_PROMPT + 5));
  ExpectApart(Join(Frame(), Entries("lighting", layout().lighting, 0, 11)));
  std::vector<Named> advanced = Join(Frame(), Entries("advanced", layout().advanced, 0, 19));
  // The child controls cover whatever lies under them.
  advanced.push_back({"repeatCountField", RectOf(layout().repeatCountField)});
  advanced.push_back({"nameField", RectOf(layout().nameField)});
  advanced.push_back({"macroList", RectOf(layout().macroList)});
  advanced.push_back({"eventList", RectOf(layout().eventList)});
  ExpectApart(advanced);
}

TEST_F(ShippedSkin, KnobPlacesFormFiveStepsPerStage) {
  const QSize knob = image(SkinImage::DpiKnob).size();
  for (int s = 0; s < 4; ++s) {
    std::set<int> columns;
    for (int v = 0; v < 5; ++v) {
      const SkinItem& place = layout().main[static_cast<size_t>(main_item::KnobPlace(s, v))];
      EXPECT_EQ(place.y, layout().main[static_cast<size_t>(main_item::KnobPlace(s, 0))].y);
      EXPECT_LE(place.width, knob.width());
      EXPECT_LE(place.height, knob.height());
      columns.insert(place.x);
    }
    EXPECT_EQ(columns.size(), 5u);
  }
}

TEST_F(ShippedSkin, EveryFunctionCodeIsNamedAndFitsTheMenusAndSlots) {
  const QFontMetrics metrics(SkinCaptionFont());
  const int menuWidth = image(SkinImage::MenuMask).width();
  const int subMenuWidth = image(SkinImage::SubMenuMask).width();
  for (FunctionCode code = 1; code <= 54; ++code) {
    SCOPED_TRACE(code);
    const std::string name(FunctionName(layout(), code));
    EXPECT_FALSE(name.empty());
    const int width = metrics.horizontalAdvance(QString::fromStdString(name));
    EXPECT_LE(width + 24, code <= 10 ? menuWidth : subMenuWidth);  // room for the arrow
    for (int button = 1; button <= 6; ++button) {
      ExpectCaptionFits(layout().main[static_cast<size_t>(main_item::Slot(button))], name, true);
    }
  }
  EXPECT_EQ(layout().functionNames[0], "");
  // A macro's own name, of up to 19 characters, takes the place of the caption in the macro
  // submenu and in the slot the macro is assigned to.
  const std::string longestMacroName = "一二三四五六七八九十一二三四五六七八九";
  SCOPED_TRACE(longestMacroName);
  EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(longestMacroName)), subMenuWidth - 24);
  for (int button = 1; button <= 6; ++button) {
    ExpectCaptionFits(layout().main[static_cast<size_t>(main_item::Slot(button))], longestMacroName,
                      true);
  }
}

TEST_F(ShippedSkin, MenuRowsHoldACaptionAndTheMenusFitTheirWindows) {
  const int fontHeight = QFontMetrics(SkinCaptionFont()).height();
  const QImage& menu = image(SkinImage::MenuMask);
  const QImage& subMenu = image(SkinImage::SubMenuMask);
  EXPECT_GE(menu.height() / MENU_ROWS, fontHeight + 4);
  EXPECT_GE(subMenu.height() / SUBMENU_ROWS, fontHeight + 4);
  // The menus open as 300 x 300 and 300 x 400 windows.
  EXPECT_LE(menu.width(), 300);
  EXPECT_LE(MENU_ROWS * (menu.height() / MENU_ROWS) + 1, 300);
  EXPECT_LE(subMenu.width(), 300);
  EXPECT_LE(SUBMENU_ROWS * (subMenu.height() / SUBMENU_ROWS) + 1, 400);
}

TEST_F(ShippedSkin, CaptionsFitTheirRectangles) {
  for (int d = 0; d < main_item::CAPTION_COUNT; ++d) {
    if (d >= main_item::Slot(1) && d <= main_item::Slot(6)) continue;
    ExpectCaptionFits(layout().main[static_cast<size_t>(d)],
                      layout().main[static_cast<size_t>(d)].text);
  }
  // The status line's longest text.
  ExpectCaptionFits(layout().main[main_item::STATUS_LINE], "配置完成，请点击鼠标第[6]键运行驱动");
  for (int j = 0; j <= 10; ++j)
    ExpectCaptionFits(layout().lighting[static_cast<size_t>(j)],
                      layout().lighting[static_cast<size_t>(j)].text);
  ExpectCaptionFits(layout().lighting[lighting_item::DPI_VALUE], "3200");
  for (const SkinItem& item : layout().advanced) ExpectCaptionFits(item, item.text);
  ExpectCaptionFits(layout().advanced[advanced_item::RECORD], "停止");
  ExpectCaptionFits(layout().advanced[advanced_item::PRESS_COUNT], "↓999");
  ExpectCaptionFits(layout().advanced[advanced_item::RELEASE_COUNT], "↑999");
  for (const SkinItem& item : layout().warning) {
    EXPECT_FALSE(item.text.empty());
    ExpectCaptionFits(item, item.text);
  }
}

TEST_F(ShippedSkin, EveryLiveControlHasThreeDifferentLooks) {
  for (const PageControls& page : Pages()) {
    const QImage& normal = image(page.normal);
    const QImage& over = Over(page.normal);
    const QImage& down = Down(page.normal);
    for (const std::vector<Named>* group : {&page.faced, &page.marks}) {
      for (const Named& item : *group) {
        SCOPED_TRACE(item.name);
        EXPECT_GT(MeanDifference(normal, over, item.rect), 3.0);
        EXPECT_GT(MeanDifference(normal, down, item.rect), 3.0);
        EXPECT_GT(MeanDifference(over, down, item.rect), 3.0);
      }
    }
  }
  // The mouse buttons of the start prompt blink between the over and the down picture.
  for (int button = 0; button < 6; ++button) {
    const QRect r = RectOf(layout().main[static_cast<size_t>(main_item::FIRST_PROMPT + button)]);
    EXPECT_GT(MeanDifference(image(SkinImage::MainOver), image(SkinImage::MainDown), r), 10.0);
  }
  const QImage& warningNormal = image(SkinImage::WarningNormal);
  for (int item : {warning_item::CONFIRM, warning_item::CANCEL}) {
    EXPECT_GT(MeanDifference(warningNormal, image(SkinImage::WarningOver),
                             RectOf(layout().warning[static_cast<size_t>(item)])),
              3.0);
  }
}

// A control that does nothing on a page must not answer the pointer there: its over and down
// pictures are its normal one (up to the noise of the JPEG pictures), and the frame buttons
// that act on the main page only are dimmed on the other pages. The page's own tab always
// shows as chosen, so its over picture is its down picture.
TEST_F(ShippedSkin, ControlsThatDoNothingOnAPageLookTheSameInEveryState) {
  for (const PageControls& page : Pages()) {
    const QImage& normal = image(page.normal);
    for (const Named& item : page.inactive) {
      SCOPED_TRACE(item.name);
      EXPECT_LT(MeanDifference(normal, Over(page.normal), item.rect), JPEG_NOISE);
      EXPECT_LT(MeanDifference(normal, Down(page.normal), item.rect), JPEG_NOISE);
    }
    SCOPED_TRACE(page.ownTab.name);
    EXPECT_LT(MeanDifference(Over(page.normal), Down(page.normal), page.ownTab.rect), JPEG_NOISE);
  }
  for (SkinImage normal : {SkinImage::AdvancedNormal, SkinImage::LightingNormal}) {
    for (int i : {main_item::SAVE, main_item::IMPORT, main_item::EXPORT}) {
      SCOPED_TRACE(i);
      const QRect r = RectOf(layout().main[static_cast<size_t>(i)]);
      EXPECT_LT(Luminance(MeanColour(image(normal), r)),
                0.6 * Luminance(MeanColour(image(SkinImage::MainNormal), r)));
    }
  }
}

// The window writes the caption of the control under the pointer in pure red (the warning's
// always); red reads only on a dark face, so every picture a red caption is drawn on keeps the
// caption's box dark. White captions read on all of them.
TEST_F(ShippedSkin, RedCaptionsReadOnEveryPictureTheyAreDrawnOn) {
  const QColor red(255, 0, 0);
  const QFontMetrics metrics(SkinCaptionFont());
  auto check = [&](const QImage& picture, const SkinItem& item, bool leftAligned,
                   const std::string& name) {
    if (item.text.empty()) return;
    const QString text = QString::fromStdString(item.text);
    const int width = metrics.horizontalAdvance(text);
    const QRect box(leftAligned ? item.x + 5 : item.x + (item.width - width) / 2,
                    item.y + (item.height - metrics.height()) / 2, width, metrics.height());
    EXPECT_GE(Contrast(red, MeanColour(picture, box)), 4.5) << name << " \"" << item.text << "\"";
  };
  for (SkinImage state : {SkinImage::MainOver, SkinImage::MainDown}) {
    for (int button = 1; button <= 6; ++button) {
      SkinItem slot = layout().main[static_cast<size_t>(main_item::Slot(button))];
      slot.text = "前进键";
      check(image(state), slot, true, "slot " + std::to_string(button));
    }
  }
  for (SkinImage state : {SkinImage::AdvancedOver, SkinImage::AdvancedDown}) {
    for (int j = 0; j <= advanced_item::LAST_HOVER; ++j) {
      check(image(state), layout().advanced[static_cast<size_t>(j)], false,
            "advanced " + std::to_string(j));
    }
  }
  struct Menu {
    SkinImage mask;
    int rows;
  };
  for (const Menu& menu :
       {Menu{SkinImage::MenuMask, MENU_ROWS}, Menu{SkinImage::SubMenuMask, SUBMENU_ROWS}}) {
    const QImage& mask = image(menu.mask);
    const int h = mask.height() / menu.rows;
    for (int offset : {-2, -1}) {  // the over and the pressed picture
      const QImage& picture = image(static_cast<SkinImage>(static_cast<int>(menu.mask) + offset));
      for (int row = 0; row < menu.rows; ++row) {
        check(picture, SkinItem{0, row * h, mask.width(), h, "快捷功能"}, false,
              "menu row " + std::to_string(row + 1));
      }
    }
  }
  for (SkinImage state : {SkinImage::WarningNormal, SkinImage::WarningOver}) {
    for (const SkinItem& item : layout().warning) check(image(state), item, false, "warning");
  }
}

// The pointer over a control outlines it, quietly: its outline stands out more than in the
// normal picture and far less than the chosen look (the down picture, which also shows a
// pressed control). The window buttons are left out: they have no face in the normal picture
// and show no choice.
TEST_F(ShippedSkin, PointerOverOutlinesEveryLiveControlBelowTheChosenLook) {
  struct Case {
    std::string name;
    SkinImage normal;
    QRect rect;
    bool hasChosenLook;
  };
  std::vector<Case> cases;
  for (const PageControls& page : Pages()) {
    for (const Named& item : page.faced) {
      if (item.name == "main 12" || item.name == "main 13") continue;
      cases.push_back({item.name, page.normal, item.rect, true});
    }
  }
  for (SkinImage normal : {SkinImage::MenuNormal, SkinImage::SubMenuNormal}) {
    const QImage& mask = image(static_cast<SkinImage>(static_cast<int>(normal) + 3));
    const int h = mask.height() / (normal == SkinImage::MenuNormal ? MENU_ROWS : SUBMENU_ROWS);
    cases.push_back({"menu row", normal, QRect(0, h, mask.width(), h), false});
  }
  for (int item : {warning_item::CONFIRM, warning_item::CANCEL}) {
    cases.push_back({"warning " + std::to_string(item), SkinImage::WarningNormal,
                     RectOf(layout().warning[static_cast<size_t>(item)]), false});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const double over = OutlineContrast(Over(c.normal), c.rect);
    EXPECT_GT(over, OutlineContrast(image(c.normal), c.rect) * 1.1);
    if (c.hasChosenLook) {
      EXPECT_GT(OutlineContrast(Down(c.normal), c.rect), over * 1.5);
    }
  }
}

// Every chosen option shows the one chosen look: the same red outline on the configurations,
// the page tabs, the wheel setting, recording, the check boxes, the pointer speeds and the
// lighting modes.
TEST_F(ShippedSkin, EveryChosenOptionHasTheOneChosenLook) {
  struct Case {
    std::string name;
    SkinImage down;
    QRect rect;
  };
  std::vector<Case> cases;
  for (int i : {4, 5, 6, 7, 8, 10, 11, main_item::WHEEL_OFF, main_item::WHEEL_ON}) {
    cases.push_back({"main " + std::to_string(i), SkinImage::MainDown,
                     RectOf(layout().main[static_cast<size_t>(i)])});
  }
  for (int j :
       {advanced_item::RECORD, advanced_item::REPEAT, advanced_item::MACRO_MODE, 8, 9, 10}) {
    cases.push_back({"advanced " + std::to_string(j), SkinImage::AdvancedDown,
                     RectOf(layout().advanced[static_cast<size_t>(j)])});
  }
  for (int j = 0; j < 4; ++j) {
    cases.push_back({"lighting " + std::to_string(j), SkinImage::LightingDown,
                     RectOf(layout().lighting[static_cast<size_t>(j)])});
  }
  const QColor first = BandColour(image(cases[0].down), cases[0].rect, 0, 4);
  EXPECT_GT(first.red(), 2 * first.green());
  for (const Case& c : cases) {
    const QColor outline = BandColour(image(c.down), c.rect, 0, 4);
    EXPECT_LE(std::abs(outline.red() - first.red()) + std::abs(outline.green() - first.green()) +
                  std::abs(outline.blue() - first.blue()),
              30)
        << c.name << " " << outline.name().toStdString() << " against "
        << first.name().toStdString();
  }
}

// Resetting discards every configuration and the macros: its button carries an amber warning
// tint that the import and export buttons beside it do not, in every state.
TEST_F(ShippedSkin, TheResetButtonLooksUnlikeImportAndExport) {
  // The share of amber pixels: red and green well above blue (not gray, blue or red).
  auto amber = [](const QImage& picture, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) {
        const QRgb p = picture.pixel(x, y);
        if (qRed(p) - qBlue(p) > 30 && qGreen(p) - qBlue(p) > 15) ++n;
      }
    }
    return double(n) / (r.width() * r.height());
  };
  for (SkinImage state : {SkinImage::MainNormal, SkinImage::MainOver, SkinImage::MainDown}) {
    SCOPED_TRACE(static_cast<int>(state));
    EXPECT_GT(amber(image(state), RectOf(layout().main[main_item::RESET])), 0.05);
    for (int i : {main_item::IMPORT, main_item::EXPORT}) {
      EXPECT_LT(amber(image(state), RectOf(layout().main[static_cast<size_t>(i)])), 0.005) << i;
    }
  }
}

// The DPI values over the slider columns are printed alike: none reads as chosen.
TEST_F(ShippedSkin, TheSliderValuesArePrintedAlike) {
  const SkinItem& heading = layout().main[26];  // the headings' row
  std::vector<double> chroma;
  for (int v = 0; v < 5; ++v) {
    const SkinItem& place = layout().main[static_cast<size_t>(main_item::KnobPlace(0, v))];
    chroma.push_back(MeanChroma(image(SkinImage::MainNormal),
                                QRect(place.x, heading.y, place.width, heading.height)));
  }
  const auto [least, most] = std::minmax_element(chroma.begin(), chroma.end());
  EXPECT_LT(*most, *least * 1.5 + 1) << "value " << (most - chroma.begin());
}

TEST_F(ShippedSkin, TheLightingPreviewShowsFourStageColoursAndOff) {
  const QRect preview = RectOf(layout().lighting[lighting_item::PREVIEW]);
  const SkinImage pictures[] = {SkinImage::PreviewBlue, SkinImage::LightingNormal,
                                SkinImage::LightingOver, SkinImage::LightingDown,
                                SkinImage::PreviewGray};
  std::vector<QColor> colours;
  for (SkinImage id : pictures) colours.push_back(MeanColour(image(id), preview));
  for (size_t i = 0; i < colours.size(); ++i) {
    for (size_t j = i + 1; j < colours.size(); ++j) {
      const int distance = std::abs(colours[i].red() - colours[j].red()) +
                           std::abs(colours[i].green() - colours[j].green()) +
                           std::abs(colours[i].blue() - colours[j].blue());
      EXPECT_GT(distance, 6) << "preview pictures " << i << " and " << j << " look alike";
    }
  }
  EXPECT_GT(colours[0].blue(), colours[0].red());  // blue
  EXPECT_GT(colours[2].red(), colours[2].blue());  // red
  // Lights off: clearly the least coloured of the five.
  const double off = MeanChroma(image(SkinImage::PreviewGray), preview);
  for (size_t i = 0; i + 1 < std::size(pictures); ++i) {
    EXPECT_LT(off * 1.5, MeanChroma(image(pictures[i]), preview)) << i;
  }
}

TEST_F(ShippedSkin, TheWarningButtonsLieInsideItsShape) {
  const QSize size = image(SkinImage::WarningMask).size();
  std::vector<Named> items = Entries("warning", layout().warning, 0, 2);
  ExpectApart(items);
  for (const Named& item : items) {
    EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(item.rect)) << item.name;
    EXPECT_EQ(skin->warningShape.intersected(item.rect), QRegion(item.rect)) << item.name;
  }
}

}  // namespace
}  // namespace kr450
