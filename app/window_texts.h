#pragma once

// Texts of the window program that the skin files do not hold.
namespace kr450 {

// The main window's title, by which the desktop lists it.
inline constexpr const char* MAIN_WINDOW_TITLE = "KR-450宏编程游戏鼠";
// The window menu: minimise, close and the about box.
inline constexpr const char* MINIMISE_MENU_TEXT = "最小化(&N)";
inline constexpr const char* CLOSE_MENU_TEXT = "关闭(&C)";
inline constexpr const char* ABOUT_MENU_TEXT = "&About ZEL_ZUduvo...";
inline constexpr const char* ABOUT_DESCRIPTION =
    "Configuration utility and resident driver of the KR-450 gaming mouse for Linux: five "
    "stored configurations, DPI stages, lighting, button functions and keyboard macros.";
inline constexpr const char* ABOUT_LICENCE = "Licence: MIT. No warranty.";

}  // namespace kr450
