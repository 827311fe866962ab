#pragma once

// The function menu of a button slot and its submenu, without Qt: what they offer, where they
// stand, what is under the pointer and what a release chooses. The popups only draw this
// state and forward their pointer events here.
//
// The menu has ten rows: rows that assign a code directly and rows that open a submenu beside
// the menu (one of them lists the macros). Every change of the menu's highlight, press or
// release replaces the submenu by a fresh one for the highlighted row, so the submenu follows
// the highlight; a pointer that leaves the menu for the submenu leaves the highlight where it
// was.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/device_config.h"
#include "config/function_code.h"
#include "ui/hit_test.h"
#include "ui/skin_images.h"
#include "ui/skin_layout.h"

namespace kr450 {

inline constexpr int MENU_ROW_COUNT = MENU_ROWS;  // 10
// Rows the menu tests: the one-pixel line below the last row is row 11, which does nothing.
inline constexpr int MENU_HIT_ROWS = 12;
// The popups' window sizes; what shows is cut to the rows (MenuRect, SubMenuRect).
inline constexpr int MENU_WINDOW_WIDTH = 300;
inline constexpr int MENU_WINDOW_HEIGHT = 300;
inline constexpr int SUBMENU_WINDOW_WIDTH = 300;
inline constexpr int SUBMENU_WINDOW_HEIGHT = 400;

// The sizes of the two mask pictures, which give the rows' width and height.
struct MenuMetrics {
  int menuWidth = 0;
  int menuMaskHeight = 0;  // ten rows
  int subMenuWidth = 0;
  int subMenuMaskHeight = 0;  // twelve rows

  int RowHeight() const { return menuMaskHeight / MENU_ROWS; }
  int SubRowHeight() const { return subMenuMaskHeight / SUBMENU_ROWS; }
};

struct MenuRow {
  std::string text;       // UTF-8
  FunctionCode code = 0;  // what choosing the row stores; 0 for a row that opens a submenu
};

// What the menus offer, from the function catalogue, the skin's function names and the macro
// names.
struct MenuContent {
  std::array<MenuRow, MENU_ROW_COUNT> rows;
  // The items of the submenu of row r at index r - 1; empty for a row that assigns directly.
  std::array<std::vector<MenuRow>, MENU_ROW_COUNT> subMenus;
  int macroCount = 0;  // the macros listed; places the macro submenu
};

// Row r is labelled with function name r; a row whose code the catalogue offers directly
// assigns it, any other opens the submenu of the catalogue's items for that row, labelled with
// their function names, or with the macro names for the macro row (one item per name, at
// most as many as there are macro codes).
MenuContent BuildMenuContent(const SkinLayout& layout, std::span<const std::string> macroNames);

// Stores `code` for button slot `slot` (1..6) and keeps a left button: when no button holds
// code 1 afterwards, the next slot takes it, or slot 6 itself when it was slot 6.
void AssignFunction(DeviceConfig& config, int slot, FunctionCode code);

// A rectangle in the coordinates of the menu's anchor (the main window's client pixels).
struct MenuRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const MenuRect&, const MenuRect&) = default;
};

struct SubMenuState {
  int row = 0;             // the menu row it belongs to, 7..10
  int itemCount = 0;       // 0: nothing shows and nothing can be chosen
  int hover = NO_CONTROL;  // 1-based item under the pointer
  bool pressed = false;
};

// What a release in a popup does.
struct MenuRelease {
  std::optional<FunctionCode> chosen;  // the code to store for the slot
  bool close = false;                  // both popups go
};

class FunctionMenu {
 public:
  explicit FunctionMenu(MenuMetrics metrics) : metrics_(metrics) {}

  // Opens for the slot at main table index `slotItem` (17..22), with its top-left corner at
  // `anchor`; nothing is highlighted. A menu that was open is replaced.
  void Open(int slotItem, Point anchor, MenuContent content);
  void Close();

  bool IsOpen() const { return open_; }
  int slotBeingAssigned() const { return slotItem_; }  // 17..22
  Point anchor() const { return anchor_; }
  const MenuContent& content() const { return content_; }
  const MenuMetrics& metrics() const { return metrics_; }
  int hover() const { return hover_; }  // 1-based row, or NO_CONTROL
  bool pressed() const { return pressed_; }
  const std::optional<SubMenuState>& subMenu() const { return subMenu_; }

  int RowHeight() const { return metrics_.RowHeight(); }
  int SubRowHeight() const { return metrics_.SubRowHeight(); }
  // What shows of the menu: its width by ten rows and one line.
  MenuRect Rect() const;
  // What shows of the open submenu: beside the menu, its height cut to its items (0 without
  // items); empty without a submenu.
  MenuRect SubMenuRect() const;

  // Events of the menu, at points in its own client pixels. Each returns true when the menu
  // must be repainted; the submenu has then been replaced as said above.
  bool PointerMove(Point point);
  bool ButtonDown(Point point);
  // A release over rows 1..6 chooses their code and closes; elsewhere nothing happens.
  MenuRelease ButtonUp(Point point);

  // Events of the submenu, at points in its own client pixels; true: repaint the submenu.
  bool SubMenuPointerMove(Point point);
  bool SubMenuButtonDown(Point point);
  // Any release closes both popups; over an item it also chooses that item's code.
  MenuRelease SubMenuButtonUp(Point point);

  // The row of the menu (1..11) or the item of the submenu under a point, or NO_CONTROL.
  int RowAt(Point point) const;
  int SubItemAt(Point point) const;

 private:
  void FollowHighlight();

  MenuMetrics metrics_;
  bool open_ = false;
  int slotItem_ = 0;
  Point anchor_{};
  MenuContent content_{};
  int hover_ = NO_CONTROL;
  bool pressed_ = false;
  std::optional<SubMenuState> subMenu_;
};

}  // namespace kr450
