// The owner-drawn popup menus' look: item size, the flat item, the highlighted item's frame
// and gradient lines, the text's place.
#include "ui/zel_menu_layout.h"

#include <gtest/gtest.h>

namespace kr450 {
namespace {

TEST(ZelMenuLayoutTest, ItemSizeIsEightPixelsPerCharacterByTwenty) {
  EXPECT_EQ(MeasureZelItem("显示界面   "), (ZelRect{0, 0, 56, 20}));
  EXPECT_EQ(MeasureZelItem("退出驱动"), (ZelRect{0, 0, 32, 20}));
  EXPECT_EQ(MeasureZelItem(""), (ZelRect{0, 0, 0, 20}));
}

TEST(ZelMenuLayoutTest, FlatItemIsOneFillAndTheTextTenPixelsIn) {
  const ZelRect item{4, 40, 64, 20};
  const std::vector<ZelOp> ops = ZelItemOps(item, "退出驱动", false);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0], (ZelOp{ZelOpKind::Fill, item, Rgb{0, 120, 153}, {}}));
  EXPECT_EQ(ops[1], (ZelOp{ZelOpKind::Text, {14, 40, 64, 20}, Rgb{255, 255, 255}, "退出驱动"}));
}

TEST(ZelMenuLayoutTest, HighlightedItemHasEighteenGradientLinesInAOnePixelFrame) {
  const ZelRect item{4, 40, 64, 20};
  const std::vector<ZelOp> ops = ZelItemOps(item, "显示界面   ", true);
  ASSERT_EQ(ops.size(), 1u + 18u + 1u);
  EXPECT_EQ(ops.front().kind, ZelOpKind::Frame);
  EXPECT_EQ(ops.front().rect, item);
  for (int i = 0; i < 18; ++i) {
    SCOPED_TRACE(i);
    const ZelOp& line = ops[static_cast<size_t>(1 + i)];
    EXPECT_EQ(line.kind, ZelOpKind::Line);
    EXPECT_EQ(line.rect, (ZelRect{5, 41 + i, 62, 1}));
    // Green steps by 14 (255 / 18 cut to an integer): 0, 14, ... 238; blue stays 255.
    EXPECT_EQ(line.colour, (Rgb{0, static_cast<uint8_t>(14 * i), 255}));
  }
  EXPECT_EQ(ops.back().kind, ZelOpKind::Text);
  EXPECT_EQ(ops.back().rect, (ZelRect{14, 40, 64, 20}));
  EXPECT_EQ(ops.back().colour, (Rgb{255, 255, 255}));
}

TEST(ZelMenuLayoutTest, ItemTooLowForAnInsideDrawsFrameAndTextOnly) {
  const std::vector<ZelOp> ops = ZelItemOps({0, 0, 30, 2}, "x", true);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].kind, ZelOpKind::Frame);
  EXPECT_EQ(ops[1].kind, ZelOpKind::Text);
}

}  // namespace
}  // namespace kr450
