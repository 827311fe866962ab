// The paint plan: which pictures each state copies where, and which captions it writes where,
// on the three pages; values outside their tables draw nothing.
#include "ui/paint_plan.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/skin_roles.h"

namespace kr450 {
namespace {

// Every caption is 7 pixels per character (code point) and 13 high.
class FixedMeasure final : public TextMeasure {
 public:
  TextExtent Measure(std::string_view utf8) const override {
    int chars = 0;
    for (const char c : utf8) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return {7 * chars, 13};
  }
};

void Fill(std::span<SkinItem> items, const std::string& prefix, int x0) {
  for (size_t i = 0; i < items.size(); ++i) {
    const int n = static_cast<int>(i);
    items[i] = {x0 + 40 * n, 10 + 3 * n, 30 + n, 16 + n % 5, prefix + std::to_string(n)};
  }
}

// A layout with a distinct rectangle and caption for every entry, and function names f1..f54.
SkinLayout TestLayout() {
  SkinLayout layout;
  Fill(layout.main, "m", 0);
  Fill(layout.lighting, "l", 5);
  Fill(layout.advanced, "a", 7);
  for (size_t n = 1; n < layout.functionNames.size(); ++n) {
    layout.functionNames[n] = "f" + std::to_string(n);
  }
  return layout;
}

// The state with nothing under the pointer: configuration 1, stage 1 active and enabled, all
// knobs at step 0, wheel off, the driver running, pointer speed 8, lighting mode 0, preview
// pink.
PaintView BaseView(int page) {
  PaintView view;
  view.currentPage = page;
  view.currentConfig = 1;
  view.config.dpiLevel = 0;
  view.config.pointerSpeed = 8;
  view.previewStage = 1;
  return view;
}

// One copy, as the tests spell it.
struct Copy {
  DrawKind kind;
  SkinImage image;
  SkinTable table;
  int item;
  friend bool operator==(const Copy&, const Copy&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Copy& c) {
    return out << (c.kind == DrawKind::CopyKnob ? "knob" : "copy") << " image "
               << static_cast<int>(c.image) << " table " << static_cast<int>(c.table) << " item "
               << c.item;
  }
};

Copy M(int item, SkinImage image) {
  return {DrawKind::CopyItem, image, SkinTable::Main, item};
}
Copy Knob(int item) {
  return {DrawKind::CopyKnob, SkinImage::DpiKnob, SkinTable::Main, item};
}
Copy A(int item, SkinImage image) {
  return {DrawKind::CopyItem, image, SkinTable::Advanced, item};
}
Copy L(int item, SkinImage image) {
  return {DrawKind::CopyItem, image, SkinTable::Lighting, item};
}

constexpr SkinImage MO = SkinImage::MainOver, MD = SkinImage::MainDown;
constexpr SkinImage AO = SkinImage::AdvancedOver, AD = SkinImage::AdvancedDown;
constexpr SkinImage LO = SkinImage::LightingOver, LD = SkinImage::LightingDown;

std::vector<Copy> CopiesOf(const std::vector<DrawOp>& ops) {
  std::vector<Copy> copies;
  for (const DrawOp& op : ops) {
    if (op.kind == DrawKind::CopyItem || op.kind == DrawKind::CopyKnob) {
      copies.push_back({op.kind, op.image, op.table, op.item});
    }
  }
  return copies;
}

struct LayerCase {
  const char* name;
  int page;
  std::function<void(PaintView&)> change;
  std::vector<Copy> expected;
};

std::vector<Copy> Concat(std::vector<Copy> a, const std::vector<Copy>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The main page's state copies of the base view: marker of stage 1, the four knobs at step 0,
// wheel off.
const std::vector<Copy> MAIN_BASE = {M(65, MD), Knob(45), Knob(50), Knob(55), Knob(60), M(32, MD)};

TEST(PaintPlan, PageLayerCopiesTheStateOfEachPage) {
  const SkinLayout layout = TestLayout();
  const std::vector<LayerCase> cases = {
      {"main base", PAGE_MAIN, [](PaintView&) {}, MAIN_BASE},
      {"main hover", PAGE_MAIN, [](PaintView& v) { v.hoverMain = 20; },
       Concat({M(20, MO)}, MAIN_BASE)},
      {"main hover pressed", PAGE_MAIN,
       [](PaintView& v) {
         v.hoverMain = 20;
         v.buttonPressed = true;
       },
       Concat({M(20, MD)}, MAIN_BASE)},
      {"main hover on a frame control", PAGE_MAIN, [](PaintView& v) { v.hoverMain = 3; },
       Concat({M(3, MO)}, MAIN_BASE)},
      {"stages, knobs, enable switches",
       PAGE_MAIN,
       [](PaintView& v) {
         v.config.dpiLevel = 2;
         v.config.dpiStage = {0, 4, 2, 1};
         v.config.dpiStageEnabled = {1, 0, 1, 1};
       },
       {M(67, MD), Knob(45), M(27, MD), Knob(54), Knob(57), M(29, MD), Knob(61), M(30, MD),
        M(32, MD)}},
      {"an enable flag other than 1 is off", PAGE_MAIN,
       [](PaintView& v) {
         v.config.dpiStageEnabled = {2, 0, 0, 0};
       },
       MAIN_BASE},
      {"wheel on",
       PAGE_MAIN,
       [](PaintView& v) { v.config.wheelStatus = 1; },
       {M(65, MD), Knob(45), Knob(50), Knob(55), Knob(60), M(33, MD)}},
      {"any wheel value but 0 is on",
       PAGE_MAIN,
       [](PaintView& v) { v.config.wheelStatus = 7; },
       {M(65, MD), Knob(45), Knob(50), Knob(55), Knob(60), M(33, MD)}},
      {"prompt lit", PAGE_MAIN,
       [](PaintView& v) {
         v.driverRunning = false;
         v.promptButton = 3;
         v.promptBlink = true;
       },
       Concat(MAIN_BASE, {M(71, MO)})},
      {"prompt dark", PAGE_MAIN,
       [](PaintView& v) {
         v.driverRunning = false;
         v.promptButton = 6;
       },
       Concat(MAIN_BASE, {M(74, MD)})},
      {"prompt while the driver runs", PAGE_MAIN,
       [](PaintView& v) {
         v.promptButton = 3;
         v.promptBlink = true;
       },
       MAIN_BASE},
      {"advanced base", PAGE_ADVANCED, [](PaintView&) {}, {A(8, AD)}},
      {"advanced hover",
       PAGE_ADVANCED,
       [](PaintView& v) {
         v.hoverAdvanced = 3;
         v.hoverMain = 5;  // the frame layer draws it
       },
       {A(3, AO), A(8, AD)}},
      {"advanced hover pressed",
       PAGE_ADVANCED,
       [](PaintView& v) {
         v.hoverAdvanced = 11;
         v.buttonPressed = true;
       },
       {A(11, AD), A(8, AD)}},
      {"recording, speed 10, macro mode, repeat",
       PAGE_ADVANCED,
       [](PaintView& v) {
         v.recording = true;
         v.config.pointerSpeed = 10;
         v.config.macroMode = 1;
         v.selectedRepeatEnabled = 1;
       },
       {A(4, AD), A(10, AD), A(7, AD), A(6, AD)}},
      {"speed 9", PAGE_ADVANCED, [](PaintView& v) { v.config.pointerSpeed = 9; }, {A(9, AD)}},
      {"repeat flag other than 1 is off",
       PAGE_ADVANCED,
       [](PaintView& v) { v.selectedRepeatEnabled = 2; },
       {A(8, AD)}},
      {"lighting base", PAGE_LIGHTING, [](PaintView&) {}, {L(0, LD)}},
      {"lighting mode 3, hover on 4",
       PAGE_LIGHTING,
       [](PaintView& v) {
         v.config.ledStatus = 3;
         v.hoverLighting = 4;
       },
       {L(4, LO), L(3, LD)}},
      {"lighting hover pressed",
       PAGE_LIGHTING,
       [](PaintView& v) {
         v.hoverLighting = 2;
         v.buttonPressed = true;
       },
       {L(2, LD), L(0, LD)}},
      {"preview off",
       PAGE_LIGHTING,
       [](PaintView& v) { v.previewOff = true; },
       {L(0, LD), L(11, SkinImage::PreviewGray)}},
      {"preview off wins over the stage",
       PAGE_LIGHTING,
       [](PaintView& v) {
         v.previewOff = true;
         v.previewStage = 3;
       },
       {L(0, LD), L(11, SkinImage::PreviewGray)}},
      {"preview stage 1 blue",
       PAGE_LIGHTING,
       [](PaintView& v) { v.previewStage = 0; },
       {L(0, LD), L(11, SkinImage::PreviewBlue)}},
      {"preview stage 2 pink stays",
       PAGE_LIGHTING,
       [](PaintView& v) { v.previewStage = 1; },
       {L(0, LD)}},
      {"preview stage 3 red",
       PAGE_LIGHTING,
       [](PaintView& v) { v.previewStage = 2; },
       {L(0, LD), L(11, LO)}},
      {"preview stage 4 purple",
       PAGE_LIGHTING,
       [](PaintView& v) { v.previewStage = 3; },
       {L(0, LD), L(11, LD)}},
      {"an unknown page is the main page", 7, [](PaintView&) {}, MAIN_BASE},
  };
  for (const LayerCase& c : cases) {
    SCOPED_TRACE(c.name);
    PaintView view = BaseView(c.page);
    c.change(view);
    std::vector<DrawOp> ops;
    ComposePageLayer(view, layout, ops);
    EXPECT_EQ(CopiesOf(ops), c.expected);
  }
}

TEST(PaintPlan, PageLayerSkipsItemNumbersOutsideTheirTables) {
  const SkinLayout layout = TestLayout();
  const std::vector<LayerCase> cases = {
      {"stage level 4",
       PAGE_MAIN,
       [](PaintView& v) { v.config.dpiLevel = 4; },
       {Knob(45), Knob(50), Knob(55), Knob(60), M(32, MD)}},
      {"stage level -1",
       PAGE_MAIN,
       [](PaintView& v) { v.config.dpiLevel = -1; },
       {Knob(45), Knob(50), Knob(55), Knob(60), M(32, MD)}},
      // Step 5 of stage 1 would be the knob place of stage 2's step 0.
      {"step value 5",
       PAGE_MAIN,
       [](PaintView& v) {
         v.config.dpiStage = {5, 0, 0, 255};
       },
       {M(65, MD), Knob(50), Knob(55), M(32, MD)}},
      {"prompt button 0 and 7", PAGE_MAIN,
       [](PaintView& v) {
         v.driverRunning = false;
         v.promptButton = 0;
       },
       MAIN_BASE},
      {"prompt button 7", PAGE_MAIN,
       [](PaintView& v) {
         v.driverRunning = false;
         v.promptButton = 7;
       },
       MAIN_BASE},
      {"hover beyond the main table", PAGE_MAIN, [](PaintView& v) { v.hoverMain = 80; }, MAIN_BASE},
      {"negative hover", PAGE_MAIN, [](PaintView& v) { v.hoverMain = -1; }, MAIN_BASE},
      {"pointer speed 0", PAGE_ADVANCED, [](PaintView& v) { v.config.pointerSpeed = 0; }, {}},
      {"pointer speed 11", PAGE_ADVANCED, [](PaintView& v) { v.config.pointerSpeed = 11; }, {}},
      {"hover beyond the advanced table",
       PAGE_ADVANCED,
       [](PaintView& v) { v.hoverAdvanced = 20; },
       {A(8, AD)}},
      {"lighting mode 4", PAGE_LIGHTING, [](PaintView& v) { v.config.ledStatus = 4; }, {}},
      {"preview stage 9", PAGE_LIGHTING, [](PaintView& v) { v.previewStage = 9; }, {L(0, LD)}},
      {"preview stage -1", PAGE_LIGHTING, [](PaintView& v) { v.previewStage = -1; }, {L(0, LD)}},
      {"hover beyond the lighting table",
       PAGE_LIGHTING,
       [](PaintView& v) { v.hoverLighting = 12; },
       {L(0, LD)}},
  };
  for (const LayerCase& c : cases) {
    SCOPED_TRACE(c.name);
    PaintView view = BaseView(c.page);
    c.change(view);
    std::vector<DrawOp> ops;
    ComposePageLayer(view, layout, ops);
    EXPECT_EQ(CopiesOf(ops), c.expected);
  }
}

TEST(PaintPlan, FrameLayerShowsConfigurationHoverAndTab) {
  const SkinLayout layout = TestLayout();
  const std::vector<LayerCase> cases = {
      {"main", PAGE_MAIN, [](PaintView&) {}, {M(4, MD), M(9, MD)}},
      {"configuration 3",
       PAGE_MAIN,
       [](PaintView& v) { v.currentConfig = 3; },
       {M(6, MD), M(9, MD)}},
      {"configuration 3 on the advanced page",
       PAGE_ADVANCED,
       [](PaintView& v) { v.currentConfig = 3; },
       {M(6, AD), M(10, AD)}},
      {"configuration 3 on the lighting page",
       PAGE_LIGHTING,
       [](PaintView& v) { v.currentConfig = 3; },
       {M(6, LD), M(11, LD)}},
      {"hover", PAGE_MAIN, [](PaintView& v) { v.hoverMain = 2; }, {M(2, MO), M(4, MD), M(9, MD)}},
      {"hover pressed on the lighting page",
       PAGE_LIGHTING,
       [](PaintView& v) {
         v.hoverMain = 16;
         v.buttonPressed = true;
       },
       {M(4, LD), M(11, LD), M(16, LD)}},
      {"the current configuration looks pressed under the pointer",
       PAGE_MAIN,
       [](PaintView& v) {
         v.currentConfig = 5;
         v.hoverMain = 8;
       },
       {M(8, MD), M(9, MD)}},
      {"the hovered tab looks hovered",
       PAGE_ADVANCED,
       [](PaintView& v) { v.hoverMain = 10; },
       {M(4, AD), M(10, AO)}},
      {"a main-page control is not part of the frame",
       PAGE_MAIN,
       [](PaintView& v) { v.hoverMain = 20; },
       {M(4, MD), M(9, MD)}},
      // Configuration 0 (none named by the file) would mark the apply control.
      {"no configuration number", PAGE_MAIN, [](PaintView& v) { v.currentConfig = 0; }, {M(9, MD)}},
      {"configuration 6", PAGE_MAIN, [](PaintView& v) { v.currentConfig = 6; }, {M(9, MD)}},
  };
  for (const LayerCase& c : cases) {
    SCOPED_TRACE(c.name);
    PaintView view = BaseView(c.page);
    c.change(view);
    std::vector<DrawOp> ops;
    ComposeFrameLayer(view, layout, ops);
    EXPECT_EQ(CopiesOf(ops), c.expected);
  }
}

TEST(PaintPlan, MissingEntriesDrawNothing) {
  SkinLayout layout = TestLayout();
  layout.main[65] = {};
  layout.main[50] = {};
  layout.main[1] = {};
  layout.lighting[11] = {};
  PaintView view = BaseView(PAGE_MAIN);
  const FixedMeasure measure;
  std::vector<DrawOp> ops = ComposePaint(view, layout, measure);
  for (const DrawOp& op : ops) {
    EXPECT_FALSE(op.table == SkinTable::Main && (op.item == 65 || op.item == 50 || op.item == 1))
        << op.item;
  }
  view = BaseView(PAGE_LIGHTING);
  view.previewOff = true;
  ops = ComposePaint(view, layout, measure);
  EXPECT_EQ(CopiesOf(ops), (std::vector<Copy>{L(0, LD), M(4, LD), M(11, LD)}));
}

// The captions of a paint, by table and item.
const DrawOp* CaptionOf(const std::vector<DrawOp>& ops, SkinTable table, int item) {
  for (const DrawOp& op : ops) {
    if (op.kind == DrawKind::Caption && op.table == table && op.item == item) return &op;
  }
  return nullptr;
}

std::vector<DrawOp> Captions(const PaintView& view, const SkinLayout& layout) {
  std::vector<DrawOp> ops;
  ComposeTextLayer(view, layout, FixedMeasure(), ops);
  return ops;
}

TEST(PaintPlan, StatusLineIsYellowOnEveryPageAndBlinksTheButtonNumber) {
  const SkinLayout layout = TestLayout();
  struct Case {
    bool running;
    bool blink;
    const char* text;
  };
  const Case cases[] = {
      {true, true, "驱动运行中..."},
      {false, true, "配置完成，请点击鼠标第[3]键运行驱动"},
      {false, false, "配置完成，请点击鼠标第[ ]键运行驱动"},
  };
  for (const int page : {PAGE_MAIN, PAGE_ADVANCED, PAGE_LIGHTING}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(page) + " " + c.text);
      PaintView view = BaseView(page);
      view.driverRunning = c.running;
      view.promptBlink = c.blink;
      view.promptButton = 3;
      const std::vector<DrawOp> ops = Captions(view, layout);
      const DrawOp* status = CaptionOf(ops, SkinTable::Main, main_item::STATUS_LINE);
      ASSERT_NE(status, nullptr);
      EXPECT_EQ(status->text, c.text);
      EXPECT_EQ(status->colour, CAPTION_YELLOW);
      for (const DrawOp& op : ops) {
        if (op.table == SkinTable::Main && op.item <= main_item::LAST_FRAME && op.item != 1) {
          EXPECT_EQ(op.colour, CAPTION_WHITE) << op.item;
        }
      }
    }
  }
}

TEST(PaintPlan, CaptionsAreCentredWithHalvesRoundedTowardZero) {
  SkinLayout layout = TestLayout();
  struct Case {
    SkinItem item;
    int x;
    int y;
  };
  // The caption "m0" is 14 x 13.
  const Case cases[] = {
      {{100, 50, 30, 20, "m0"}, 108, 53},   // 16 / 2, 7 / 2
      {{100, 50, 31, 21, "m0"}, 108, 54},   // 17 / 2
      {{100, 50, 5, 4, "m0"}, 96, 46},      // -9 / 2 is -4, not -5
      {{-20, -10, 10, 10, "m0"}, -22, -11}  // -4 / 2, -3 / 2
  };
  for (const Case& c : cases) {
    layout.main[0] = c.item;
    const std::vector<DrawOp> ops = Captions(BaseView(PAGE_MAIN), layout);
    const DrawOp* caption = CaptionOf(ops, SkinTable::Main, 0);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->x, c.x) << c.item.width;
    EXPECT_EQ(caption->y, c.y) << c.item.height;
    EXPECT_EQ(caption->align, TextAlign::Centre);
    EXPECT_EQ(caption->width, 14);
    EXPECT_EQ(caption->height, 13);
  }
}

TEST(PaintPlan, SlotCaptionsNameTheFunctionOrMacroLeftAlignedRedUnderThePointer) {
  const SkinLayout layout = TestLayout();
  PaintView view = BaseView(PAGE_MAIN);
  view.config.buttons = {1, 41, 52, 53, 54, 0};
  view.macroNames[0] = "宏一";
  view.macroNames[11] = "last";
  view.hoverMain = main_item::Slot(2);
  const std::vector<DrawOp> ops = Captions(view, layout);

  const DrawOp* first = CaptionOf(ops, SkinTable::Main, 17);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->text, "f1");
  EXPECT_EQ(first->align, TextAlign::Left);
  EXPECT_EQ(first->x, layout.main[17].x + 5);
  EXPECT_EQ(first->y, layout.main[17].y + (layout.main[17].height - 13) / 2);
  EXPECT_EQ(first->colour, CAPTION_WHITE);

  const DrawOp* second = CaptionOf(ops, SkinTable::Main, 18);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->text, "宏一");
  EXPECT_EQ(second->colour, CAPTION_RED);
  EXPECT_EQ(second->x, layout.main[18].x + 5);

  const DrawOp* third = CaptionOf(ops, SkinTable::Main, 19);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->text, "last");
  // Codes 53 and 54 name macros 12 and 13, which do not exist; code 0 has no name.
  EXPECT_EQ(CaptionOf(ops, SkinTable::Main, 20), nullptr);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Main, 21), nullptr);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Main, 22), nullptr);
}

TEST(PaintPlan, SlotCaptionsOfCodesOutsideTheFunctionTableAreEmpty) {
  const SkinLayout layout = TestLayout();
  PaintView view = BaseView(PAGE_MAIN);
  view.config.buttons = {-1, 55, 1000, -41, 40, 2};
  const std::vector<DrawOp> ops = Captions(view, layout);
  for (int slot = 17; slot <= 20; ++slot) EXPECT_EQ(CaptionOf(ops, SkinTable::Main, slot), nullptr);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Main, 21)->text, "f40");
  EXPECT_EQ(CaptionOf(ops, SkinTable::Main, 22)->text, "f2");
}

// Which entries get a caption on each page, with which text.
TEST(PaintPlan, EachPageWritesItsOwnCaptions) {
  const SkinLayout layout = TestLayout();
  struct Expected {
    SkinTable table;
    int first;
    int last;
  };
  const std::vector<std::pair<int, std::vector<Expected>>> pages = {
      {PAGE_MAIN, {{SkinTable::Main, 0, 36}}},
      {PAGE_ADVANCED, {{SkinTable::Main, 0, 16}, {SkinTable::Advanced, 0, 19}}},
      {PAGE_LIGHTING, {{SkinTable::Main, 0, 16}, {SkinTable::Lighting, 0, 10}}},
  };
  for (const auto& [page, expected] : pages) {
    SCOPED_TRACE(page);
    PaintView view = BaseView(page);
    view.config.buttons = {1, 2, 3, 4, 5, 6};
    const std::vector<DrawOp> ops = Captions(view, layout);
    std::vector<std::pair<SkinTable, int>> written, wanted;
    for (const DrawOp& op : ops) written.emplace_back(op.table, op.item);
    for (const Expected& e : expected) {
      for (int i = e.first; i <= e.last; ++i) wanted.emplace_back(e.table, i);
    }
    EXPECT_EQ(written, wanted);
    for (const DrawOp& op : ops) {
      if (op.item == 1 && op.table == SkinTable::Main) continue;
      if (op.table == SkinTable::Main && op.item >= 17 && op.item <= 22) continue;
      if (op.table == SkinTable::Advanced && (op.item == 4 || op.item == 14 || op.item == 15)) {
        continue;
      }
      if (op.table == SkinTable::Lighting && op.item == 9) continue;
      const char prefix = op.table == SkinTable::Main       ? 'm'
                          : op.table == SkinTable::Lighting ? 'l'
                                                            : 'a';
      EXPECT_EQ(op.text, prefix + std::to_string(op.item));
      EXPECT_EQ(op.colour, CAPTION_WHITE) << op.text;
    }
  }
}

TEST(PaintPlan, AdvancedCaptionsShowRecordingCountsAndHover) {
  const SkinLayout layout = TestLayout();
  PaintView view = BaseView(PAGE_ADVANCED);
  view.pressLineCount = 3;
  view.releaseLineCount = 12;
  view.hoverAdvanced = 5;
  std::vector<DrawOp> ops = Captions(view, layout);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 4)->text, "录制");
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 14)->text, "↓3");
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 15)->text, "↑12");
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 5)->colour, CAPTION_RED);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 6)->colour, CAPTION_WHITE);
  // The centre of "↓3" (two characters): measured on the replaced caption.
  const SkinItem& count = layout.advanced[14];
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 14)->x, count.x + (count.width - 14) / 2);

  view.recording = true;
  view.hoverAdvanced = 4;
  ops = Captions(view, layout);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 4)->text, "停止");
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 4)->colour, CAPTION_RED);
  EXPECT_EQ(CaptionOf(ops, SkinTable::Advanced, 5)->colour, CAPTION_WHITE);
}

TEST(PaintPlan, LightingPageShowsTheDpiOfTheAppliedStepOfTheActiveStage) {
  const SkinLayout layout = TestLayout();
  struct Case {
    int level;
    uint8_t appliedValue;
    const char* text;  // nullptr: no caption
  };
  const Case cases[] = {
      {0, 0, "3200"}, {1, 1, "1200"},   {2, 2, "1600"},  {3, 3, "2000"},   {1, 4, "2400"},
      {0, 5, "1200"}, {3, 255, "1200"}, {4, 0, nullptr}, {-1, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.level) + " " + std::to_string(c.appliedValue));
    PaintView view = BaseView(PAGE_LIGHTING);
    view.config.dpiLevel = c.level;
    view.config.dpiStage = {4, 4, 4, 4};  // the edited values are not the ones shown
    view.appliedDpiStage = {1, 1, 1, 1};
    if (c.level >= 0 && c.level < 4)
      view.appliedDpiStage[static_cast<size_t>(c.level)] = c.appliedValue;
    const std::vector<DrawOp> captions = Captions(view, layout);
    const DrawOp* dpi = CaptionOf(captions, SkinTable::Lighting, 9);
    if (c.text == nullptr) {
      EXPECT_EQ(dpi, nullptr);
    } else {
      ASSERT_NE(dpi, nullptr);
      EXPECT_EQ(dpi->text, c.text);
      EXPECT_EQ(dpi->colour, CAPTION_WHITE);
    }
  }
}

TEST(PaintPlan, PaintIsThePagePictureThenTheThreeLayersInOrder) {
  const SkinLayout layout = TestLayout();
  const FixedMeasure measure;
  const std::pair<int, SkinImage> pages[] = {{PAGE_MAIN, SkinImage::MainNormal},
                                             {PAGE_ADVANCED, SkinImage::AdvancedNormal},
                                             {PAGE_LIGHTING, SkinImage::LightingNormal},
                                             {3, SkinImage::MainNormal}};
  for (const auto& [page, normal] : pages) {
    SCOPED_TRACE(page);
    PaintView view = BaseView(page);
    view.hoverMain = 2;
    std::vector<DrawOp> expected(1);
    expected[0].kind = DrawKind::Page;
    expected[0].image = normal;
    ComposePageLayer(view, layout, expected);
    ComposeFrameLayer(view, layout, expected);
    ComposeTextLayer(view, layout, measure, expected);
    EXPECT_EQ(ComposePaint(view, layout, measure), expected);
  }
}

TEST(PaintPlan, TheDriverStatePartOfTheViewIsOneSnapshot) {
  DriverState state;
  state.WithConfig([](ConfigState& s) {
    s.currentConfig = 4;
    s.config.dpiLevel = 2;
    s.config.buttons = {1, 41, 3, 4, 5, 6};
    s.appliedDpiStage = {4, 3, 2, 1};
    s.appliedLedStatus = 2;
  });
  state.driverRunning.store(false);
  state.promptButton.store(5);
  state.promptBlink.store(true);
  PaintView view;
  FillFromDriverState(state, view);
  EXPECT_EQ(view.currentConfig, 4);
  EXPECT_EQ(view.config, state.Config());
  EXPECT_EQ(view.appliedDpiStage, (std::array<uint8_t, 4>{4, 3, 2, 1}));
  EXPECT_EQ(view.appliedLedStatus, 2);
  EXPECT_FALSE(view.driverRunning);
  EXPECT_EQ(view.promptButton, 5);
  EXPECT_TRUE(view.promptBlink);
}

}  // namespace
}  // namespace kr450
