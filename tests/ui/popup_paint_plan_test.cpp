// What the function menu, the submenu and the warning draw for their state.
#include "ui/popup_paint_plan.h"

#include <gtest/gtest.h>

#include "tests/ui/window_test_support.h"

namespace kr450 {
namespace {

// Every caption is 7 pixels per byte and 13 high.
class FixedMeasure final : public TextMeasure {
 public:
  TextExtent Measure(std::string_view utf8) const override {
    return {7 * static_cast<int>(utf8.size()), 13};
  }
};

FunctionMenu OpenMenu(std::vector<std::string> macros = {}) {
  FunctionMenu menu(test::TEST_MENU_METRICS);  // rows 120 x 20, items 150 x 18
  menu.Open(18, {50, 60}, BuildMenuContent(test::WindowTestLayout(), macros));
  return menu;
}

std::vector<DrawOp> Copies(const std::vector<DrawOp>& ops) {
  std::vector<DrawOp> out;
  for (const DrawOp& op : ops) {
    if (op.kind != DrawKind::Caption) out.push_back(op);
  }
  return out;
}

TEST(PopupPaintPlanTest, MenuHighlightsItsRowAndCaption) {
  const FixedMeasure measure;
  FunctionMenu menu = OpenMenu();
  menu.PointerMove({5, 45});  // row 3
  std::vector<DrawOp> ops = ComposeMenuPaint(menu, measure);
  const std::vector<DrawOp> copies = Copies(ops);
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(copies[0].kind, DrawKind::Page);
  EXPECT_EQ(copies[0].image, SkinImage::MenuNormal);
  EXPECT_EQ(copies[1].image, SkinImage::MenuOver);
  EXPECT_EQ((std::array{copies[1].x, copies[1].y, copies[1].width, copies[1].height}),
            (std::array{0, 40, 120, 20}));
  ASSERT_EQ(ops.size(), 12u);
  // "f3" is 14 wide, 13 high: centred in row 3.
  const DrawOp& f3 = ops[2 + 2];
  EXPECT_EQ(f3.text, "f3");
  EXPECT_EQ(f3.x, (120 - 14) / 2);
  EXPECT_EQ(f3.y, (20 - 13) / 2 + 40);
  EXPECT_EQ(f3.colour, CAPTION_RED);
  EXPECT_EQ(ops[2 + 3].colour, CAPTION_WHITE);

  menu.ButtonDown({5, 45});
  EXPECT_EQ(Copies(ComposeMenuPaint(menu, measure))[1].image, SkinImage::MenuDown);
  // The extra line under the rows highlights nothing.
  menu.ButtonUp({5, 200});
  ops = ComposeMenuPaint(menu, measure);
  EXPECT_EQ(Copies(ops).size(), 1u);
  for (const DrawOp& op : ops) EXPECT_NE(op.colour, CAPTION_RED);
}

TEST(PopupPaintPlanTest, SubMenuShowsTheMacroNames) {
  const FixedMeasure measure;
  FunctionMenu menu = OpenMenu({"one", "two"});
  EXPECT_TRUE(ComposeSubMenuPaint(menu, measure).empty());
  menu.PointerMove({5, 170});        // row 9
  menu.SubMenuPointerMove({5, 20});  // item 2
  const std::vector<DrawOp> ops = ComposeSubMenuPaint(menu, measure);
  ASSERT_EQ(ops.size(), 4u);
  EXPECT_EQ(ops[0].image, SkinImage::SubMenuNormal);
  EXPECT_EQ(ops[1].image, SkinImage::SubMenuOver);
  EXPECT_EQ(ops[1].y, 18);
  EXPECT_EQ(ops[2].text, "one");
  EXPECT_EQ(ops[3].text, "two");
  EXPECT_EQ(ops[3].colour, CAPTION_RED);
  EXPECT_EQ(ops[3].x, (150 - 21) / 2);
}

TEST(PopupPaintPlanTest, WarningLightsOnlyItsButtons) {
  const FixedMeasure measure;
  const std::array<SkinItem, WARNING_TABLE_SIZE> table = {SkinItem{10, 60, 40, 20, "ok"},
                                                          SkinItem{60, 60, 40, 20, "no"},
                                                          SkinItem{0, 0, 120, 50, "careful"}};
  WarningLogic warning(table);
  warning.PointerMove({70, 70});
  std::vector<DrawOp> ops = ComposeWarningPaint(warning, table, measure);
  ASSERT_EQ(ops.size(), 5u);
  EXPECT_EQ(ops[0].image, SkinImage::WarningNormal);
  EXPECT_EQ(ops[1].image, SkinImage::WarningOver);
  EXPECT_EQ((std::array{ops[1].x, ops[1].y, ops[1].width, ops[1].height}),
            (std::array{60, 60, 40, 20}));
  EXPECT_EQ(ops[4].text, "careful");
  EXPECT_EQ(ops[4].x, (120 - 49) / 2);
  EXPECT_EQ(ops[4].y, (50 - 13) / 2);
  for (size_t k = 2; k < ops.size(); ++k) EXPECT_EQ(ops[k].colour, CAPTION_RED);
  warning.PointerMove({20, 20});  // the message
  ops = ComposeWarningPaint(warning, table, measure);
  EXPECT_EQ(Copies(ops).size(), 1u);
}

}  // namespace
}  // namespace kr450
