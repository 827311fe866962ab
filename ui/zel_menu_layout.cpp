#include "ui/zel_menu_layout.h"

#include "config/utf.h"

namespace kr450 {
namespace {

int Step(uint8_t from, uint8_t to, int lines) {
  // Computed in floating point and cut toward zero, as the menu look has always had it.
  return static_cast<int>(static_cast<double>(to - from) / lines);
}

uint8_t Channel(uint8_t from, int step, int line) {
  return static_cast<uint8_t>((from + step * line) & 0xFF);
}

}  // namespace

ZelRect MeasureZelItem(std::string_view utf8) {
  return {0, 0, static_cast<int>(Utf8Length(utf8)) * ZEL_PIXELS_PER_CHARACTER, ZEL_ITEM_HEIGHT};
}

std::vector<ZelOp> ZelItemOps(ZelRect rect, std::string_view utf8, bool highlighted) {
  std::vector<ZelOp> ops;
  if (!highlighted) {
    ops.push_back({ZelOpKind::Fill, rect, ZEL_BACKGROUND, {}});
  } else {
    ops.push_back({ZelOpKind::Frame, rect, ZEL_FRAME, {}});
    const ZelRect inner{rect.x + 1, rect.y + 1, rect.width - 2, rect.height - 2};
    if (inner.height > 0 && inner.width > 0) {
      const Rgb top = ZEL_GRADIENT_TOP;
      const Rgb bottom = ZEL_GRADIENT_BOTTOM;
      const int red = Step(top.red, bottom.red, inner.height);
      const int green = Step(top.green, bottom.green, inner.height);
      const int blue = Step(top.blue, bottom.blue, inner.height);
      for (int i = 0; i < inner.height; ++i) {
        const Rgb colour{Channel(top.red, red, i), Channel(top.green, green, i),
                         Channel(top.blue, blue, i)};
        ops.push_back({ZelOpKind::Line, {inner.x, inner.y + i, inner.width, 1}, colour, {}});
      }
    }
  }
  ops.push_back({ZelOpKind::Text,
                 {rect.x + ZEL_TEXT_INDENT, rect.y, rect.width, rect.height},
                 ZEL_TEXT,
                 std::string(utf8)});
  return ops;
}

}  // namespace kr450
