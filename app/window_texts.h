#pragma once

// Texts of the window that the skin files do not hold.
namespace kr450 {

// The main window's title, by which the desktop lists it.
inline constexpr const char* MAIN_WINDOW_TITLE = "KR-450宏编程游戏鼠";
// The window menu's item that opens the about box.
inline constexpr const char* ABOUT_MENU_TEXT = "&About ZEL_ZUduvo...";
inline constexpr const char* MINIMISE_MENU_TEXT = "最小化";
inline constexpr const char* CLOSE_MENU_TEXT = "关闭";

}  // namespace kr450
