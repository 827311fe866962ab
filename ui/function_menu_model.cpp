#include "ui/function_menu_model.h"

#include <algorithm>

namespace kr450 {
namespace {

bool IsMacroCode(FunctionCode code) {
  return MacroIndexFor(code).has_value();
}

// The row whose submenu lists the macros.
constexpr int MACRO_ROW = FindFunction(FIRST_MACRO_CODE)->menu.row;

// How many rows below the menu's top the submenu of `row` starts; the macro submenu ends
// level with the bottom of its row.
int SubMenuRowOffset(int row, int itemCount) {
  if (row == MACRO_ROW) return 9 - itemCount;
  switch (row) {
    case 7:
      return -1;
    case 8:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

MenuContent BuildMenuContent(const SkinLayout& layout, std::span<const std::string> macroNames) {
  MenuContent content;
  for (int row = 1; row <= MENU_ROW_COUNT; ++row) {
    MenuRow& entry = content.rows[static_cast<size_t>(row - 1)];
    entry.text = std::string(FunctionName(layout, row));
    entry.code = CodeForMenuPlace({row, 0});
    if (entry.code != 0) continue;
    std::vector<MenuRow>& items = content.subMenus[static_cast<size_t>(row - 1)];
    for (int item = 1;; ++item) {
      const FunctionCode code = CodeForMenuPlace({row, item});
      if (code == 0) break;
      if (IsMacroCode(code)) {
        if (static_cast<size_t>(item) > macroNames.size()) break;
        items.push_back({macroNames[static_cast<size_t>(item - 1)], code});
      } else {
        items.push_back({std::string(FunctionName(layout, code)), code});
      }
    }
    if (row == MACRO_ROW) content.macroCount = static_cast<int>(items.size());
  }
  return content;
}

void AssignFunction(DeviceConfig& config, int slot, FunctionCode code) {
  if (slot < 1 || slot > BUTTON_COUNT) return;
  config.buttons[static_cast<size_t>(slot - 1)] = code;
  const bool hasLeft =
      std::find(config.buttons.begin(), config.buttons.end(), 1) != config.buttons.end();
  if (hasLeft) return;
  // The next slot takes over the left click; slot 6 has no next one and keeps it itself.
  const int keeper = slot == BUTTON_COUNT ? slot : slot + 1;
  config.buttons[static_cast<size_t>(keeper - 1)] = 1;
}

void FunctionMenu::Open(int slotItem, Point anchor, MenuContent content) {
  open_ = true;
  slotItem_ = slotItem;
  anchor_ = anchor;
  content_ = std::move(content);
  hover_ = NO_CONTROL;
  pressed_ = false;
  subMenu_.reset();
}

void FunctionMenu::Close() {
  open_ = false;
  hover_ = NO_CONTROL;
  pressed_ = false;
  subMenu_.reset();
}

MenuRect FunctionMenu::Rect() const {
  return {anchor_.x, anchor_.y, metrics_.menuWidth, MENU_ROW_COUNT * RowHeight() + 1};
}

MenuRect FunctionMenu::SubMenuRect() const {
  if (!subMenu_) return {};
  const int offset = SubMenuRowOffset(subMenu_->row, subMenu_->itemCount);
  const int height = subMenu_->itemCount > 0 ? subMenu_->itemCount * SubRowHeight() + 1 : 0;
  return {anchor_.x + metrics_.menuWidth, anchor_.y + offset * RowHeight(), metrics_.subMenuWidth,
          height};
}

int FunctionMenu::RowAt(Point point) const {
  const int h = RowHeight();
  const MenuRect shown = Rect();
  if (h <= 0 || point.x < 0 || point.x >= shown.width || point.y < 0 || point.y >= shown.height) {
    return NO_CONTROL;
  }
  const int row = point.y / h + 1;
  return row <= MENU_HIT_ROWS ? row : NO_CONTROL;
}

int FunctionMenu::SubItemAt(Point point) const {
  if (!subMenu_) return NO_CONTROL;
  const int h = SubRowHeight();
  if (h <= 0 || point.x < 0 || point.x >= metrics_.subMenuWidth || point.y < 0) return NO_CONTROL;
  const int item = point.y / h + 1;
  return item <= subMenu_->itemCount ? item : NO_CONTROL;
}

void FunctionMenu::FollowHighlight() {
  subMenu_.reset();
  if (hover_ < 1 || hover_ > MENU_ROW_COUNT) return;
  if (content_.rows[static_cast<size_t>(hover_ - 1)].code != 0) return;
  const auto& items = content_.subMenus[static_cast<size_t>(hover_ - 1)];
  subMenu_ = SubMenuState{hover_, static_cast<int>(items.size())};
}

bool FunctionMenu::PointerMove(Point point) {
  if (!open_) return false;
  const int row = RowAt(point);
  if (row == hover_) return false;
  hover_ = row;
  FollowHighlight();
  return true;
}

bool FunctionMenu::ButtonDown(Point point) {
  if (!open_) return false;
  hover_ = RowAt(point);
  pressed_ = true;
  FollowHighlight();
  return true;
}

MenuRelease FunctionMenu::ButtonUp(Point point) {
  if (!open_) return {};
  hover_ = RowAt(point);
  pressed_ = false;
  FollowHighlight();
  if (hover_ >= 1 && hover_ <= MENU_ROW_COUNT) {
    const FunctionCode code = content_.rows[static_cast<size_t>(hover_ - 1)].code;
    if (code != 0) return {code, true};
  }
  return {};
}

bool FunctionMenu::SubMenuPointerMove(Point point) {
  if (!subMenu_) return false;
  const int item = SubItemAt(point);
  if (item == subMenu_->hover) return false;
  subMenu_->hover = item;
  return true;
}

bool FunctionMenu::SubMenuButtonDown(Point point) {
  if (!subMenu_) return false;
  subMenu_->hover = SubItemAt(point);
  subMenu_->pressed = true;
  return true;
}

MenuRelease FunctionMenu::SubMenuButtonUp(Point point) {
  if (!subMenu_) return {};
  MenuRelease release;
  release.close = true;
  const int item = SubItemAt(point);
  if (item != NO_CONTROL) {
    release.chosen =
        content_.subMenus[static_cast<size_t>(subMenu_->row - 1)][static_cast<size_t>(item - 1)]
            .code;
  }
  return release;
}

}  // namespace kr450
