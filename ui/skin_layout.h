#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "config/function_code.h"
#include "ui/skin_files.h"
#include "ui/skin_item.h"

namespace kr450 {

// Layout files of a skin folder, with the section of their rectangle tables.
inline constexpr std::string_view SKIN_MAIN_FILE = "skin_main.ini";
inline constexpr std::string_view SKIN_LIGHTING_FILE = "skin_color.ini";
inline constexpr std::string_view SKIN_ADVANCED_FILE = "skin_advance.ini";
inline constexpr std::string_view SKIN_WARNING_FILE = "LBWarning.ini";
inline constexpr std::string_view SKIN_TABLE_SECTION = "BUTTONPOS";
inline constexpr std::string_view SKIN_FUNCTION_SECTION = "FUN_STRING";
inline constexpr std::string_view SKIN_EDIT_SECTION = "EDIT";
inline constexpr std::string_view SKIN_LIST_SECTION = "MACRODISPLAY";

inline constexpr size_t MAIN_TABLE_SIZE = 80;
inline constexpr size_t LIGHTING_TABLE_SIZE = 12;
inline constexpr size_t ADVANCED_TABLE_SIZE = 20;
inline constexpr size_t WARNING_TABLE_SIZE = 3;
// Entry n names function code n; entry 0 stays empty.
inline constexpr size_t FUNCTION_NAME_COUNT = 55;

// Keys of the child controls' rectangles in skin_advance.ini.
inline constexpr int EDIT_REPEAT_COUNT_KEY = 3;
inline constexpr int EDIT_NAME_KEY = 4;
inline constexpr int LIST_MACROS_KEY = 1;
inline constexpr int LIST_EVENTS_KEY = 2;

// Everything read from the layout files of a skin, once, at start-up.
struct SkinLayout {
  std::array<SkinItem, MAIN_TABLE_SIZE> main;
  std::array<SkinItem, LIGHTING_TABLE_SIZE> lighting;
  std::array<SkinItem, ADVANCED_TABLE_SIZE> advanced;
  std::array<SkinItem, WARNING_TABLE_SIZE> warning;
  std::array<std::string, FUNCTION_NAME_COUNT> functionNames;
  // The advanced page's child controls.
  ControlRect repeatCountField;
  ControlRect nameField;
  ControlRect macroList;
  ControlRect eventList;
};

// Reads every table of the folder of `files`, in the order of the window's start-up: the
// main table and the function names (skin_main.ini), the lighting table (skin_color.ini),
// the advanced table and the four control rectangles (skin_advance.ini), the warning table
// (LBWarning.ini). Problems are reported by `files`; missing entries read as empty items.
SkinLayout ReadSkinLayout(SkinFiles& files);

// The name of a function code; empty for a code without an entry.
std::string_view FunctionName(const SkinLayout& layout, FunctionCode code);

}  // namespace kr450
