#pragma once

// The look of the owner-drawn popup menus (the tray menu and the macro list's context menu),
// without Qt: an item's size and the operations that draw it, which the Qt painter executes
// in order.

#include <string>
#include <string_view>
#include <vector>

#include "ui/paint_plan.h"

namespace kr450 {

inline constexpr int ZEL_PIXELS_PER_CHARACTER = 8;
inline constexpr int ZEL_ITEM_HEIGHT = 20;
inline constexpr int ZEL_TEXT_INDENT = 10;
inline constexpr Rgb ZEL_BACKGROUND{0, 120, 153};
inline constexpr Rgb ZEL_TEXT{255, 255, 255};
inline constexpr Rgb ZEL_FRAME{0, 0, 0};  // the default pen of a drawing surface
inline constexpr Rgb ZEL_GRADIENT_TOP{0, 0, 255};
inline constexpr Rgb ZEL_GRADIENT_BOTTOM{0, 255, 255};

struct ZelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const ZelRect&, const ZelRect&) = default;
};

// 8 pixels per character (code point) of the item's text by 20.
ZelRect MeasureZelItem(std::string_view utf8);

enum class ZelOpKind {
  Fill,   // fill `rect` with `colour`
  Frame,  // a 1-pixel outline just inside `rect`, in `colour`
  Line,   // a 1-pixel horizontal line: rect.x .. rect.x + width - 1 at rect.y
  Text,   // `text` on one line in `rect`, left-aligned, vertically centred, in `colour`
};

struct ZelOp {
  ZelOpKind kind = ZelOpKind::Fill;
  ZelRect rect;
  Rgb colour;
  std::string text;
  friend bool operator==(const ZelOp&, const ZelOp&) = default;
};

// Drawing an item in `rect`: flat RGB(0, 120, 153); highlighted, a 1-pixel frame filled line
// by line from blue to cyan, each channel stepping by the integer part of its change divided
// by the inner height; then the text, white, in the item's rectangle moved 10 pixels right.
std::vector<ZelOp> ZelItemOps(ZelRect rect, std::string_view utf8, bool highlighted);

// The tray menu's commands, in menu order.
struct ZelMenuEntry {
  int id;
  std::string_view text;
};
inline constexpr int TRAY_SHOW_COMMAND = 32801;
inline constexpr int TRAY_EXIT_COMMAND = 32800;
inline constexpr ZelMenuEntry TRAY_MENU[] = {{TRAY_SHOW_COMMAND, "显示界面   "},
                                             {TRAY_EXIT_COMMAND, "退出驱动"}};

}  // namespace kr450
