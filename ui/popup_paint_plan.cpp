#include "ui/popup_paint_plan.h"

#include <span>

namespace kr450 {
namespace {

struct RowPictures {
  SkinImage normal;
  SkinImage over;
  SkinImage down;
};

constexpr RowPictures MENU_PICTURES{SkinImage::MenuNormal, SkinImage::MenuOver,
                                    SkinImage::MenuDown};
constexpr RowPictures SUBMENU_PICTURES{SkinImage::SubMenuNormal, SkinImage::SubMenuOver,
                                       SkinImage::SubMenuDown};

DrawOp Caption(std::string_view text, int x, int y, TextExtent extent, Rgb colour, int item) {
  DrawOp op;
  op.kind = DrawKind::Caption;
  op.item = item;
  op.x = x;
  op.y = y;
  op.width = extent.width;
  op.height = extent.height;
  op.text = std::string(text);
  op.colour = colour;
  return op;
}

DrawOp Copy(SkinImage image, int item, int x, int y, int width, int height) {
  DrawOp op;
  op.kind = DrawKind::CopyItem;
  op.image = image;
  op.item = item;
  op.x = x;
  op.y = y;
  op.width = width;
  op.height = height;
  return op;
}

// A stack of rows of height h and width w; `hover` is 1-based. Rows beyond the pictures (the
// menu's extra line) have nothing to copy and no caption.
std::vector<DrawOp> ComposeRows(const RowPictures& pictures, std::span<const MenuRow> rows,
                                int hover, bool pressed, int width, int h,
                                const TextMeasure& measure) {
  std::vector<DrawOp> ops;
  DrawOp page;
  page.image = pictures.normal;
  ops.push_back(page);
  const int count = static_cast<int>(rows.size());
  if (hover >= 1 && hover <= count) {
    ops.push_back(
        Copy(pressed ? pictures.down : pictures.over, hover, 0, (hover - 1) * h, width, h));
  }
  for (int i = 1; i <= count; ++i) {
    const std::string& text = rows[static_cast<size_t>(i - 1)].text;
    const TextExtent extent = measure.Measure(text);
    ops.push_back(Caption(text, (width - extent.width) / 2, (h - extent.height) / 2 + (i - 1) * h,
                          extent, i == hover ? CAPTION_RED : CAPTION_WHITE, i));
  }
  return ops;
}

}  // namespace

std::vector<DrawOp> ComposeMenuPaint(const FunctionMenu& menu, const TextMeasure& measure) {
  return ComposeRows(MENU_PICTURES, menu.content().rows, menu.hover(), menu.pressed(),
                     menu.metrics().menuWidth, menu.RowHeight(), measure);
}

std::vector<DrawOp> ComposeSubMenuPaint(const FunctionMenu& menu, const TextMeasure& measure) {
  const std::optional<SubMenuState>& sub = menu.subMenu();
  if (!sub) return {};
  const std::vector<MenuRow>& items = menu.content().subMenus[static_cast<size_t>(sub->row - 1)];
  return ComposeRows(SUBMENU_PICTURES, items, sub->hover, sub->pressed, menu.metrics().subMenuWidth,
                     menu.SubRowHeight(), measure);
}

std::vector<DrawOp> ComposeWarningPaint(const WarningLogic& warning,
                                        const std::array<SkinItem, WARNING_TABLE_SIZE>& table,
                                        const TextMeasure& measure) {
  std::vector<DrawOp> ops;
  DrawOp page;
  page.image = SkinImage::WarningNormal;
  ops.push_back(page);
  const int hover = warning.hover();
  if (hover == WARNING_CONFIRM || hover == WARNING_CANCEL) {
    const SkinItem& button = table[static_cast<size_t>(hover - 1)];
    ops.push_back(
        Copy(SkinImage::WarningOver, hover - 1, button.x, button.y, button.width, button.height));
  }
  for (size_t k = 0; k < table.size(); ++k) {
    const SkinItem& item = table[k];
    const TextExtent extent = measure.Measure(item.text);
    ops.push_back(Caption(item.text, item.x + (item.width - extent.width) / 2,
                          item.y + (item.height - extent.height) / 2, extent, CAPTION_RED,
                          static_cast<int>(k)));
  }
  return ops;
}

}  // namespace kr450
