#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kr450 {

// What a button does. Codes outside the catalogue below can only come from an edited file.
using FunctionCode = int32_t;

// Device function 31: the mouse reports the key to the driver instead of acting on it.
inline constexpr uint8_t SOFTWARE_FUNCTION = 31;

enum class Performer : uint8_t { Nobody, Mouse, Driver };

// Where the function menus offer a code: main menu row 1..10, and for rows 7..10 the item
// (counted from 1) of the submenu that row opens; item 0 means the row itself.
struct MenuPlace {
  int row = 0;  // 0: not offered
  int item = 0;
};

struct FunctionInfo {
  FunctionCode code;
  std::string_view name;
  uint8_t deviceFunction;
  Performer performer;
  MenuPlace menu;
};

// Every code the driver knows, in ascending order. One table holds each code's name, the
// device function its button report carries, who performs it and where the menus offer it.
inline constexpr std::array<FunctionInfo, 44> FUNCTION_CATALOGUE = {{
    {0, "None", 0, Performer::Nobody, {}},
    {1, "DeviceKey1", 1, Performer::Mouse, {1, 0}},
    {2, "DeviceKey2", 2, Performer::Mouse, {2, 0}},
    {3, "DeviceKey3", 3, Performer::Mouse, {3, 0}},
    {4, "DeviceKey4", 4, Performer::Mouse, {4, 0}},
    {5, "DeviceKey5", 5, Performer::Mouse, {5, 0}},
    {6, "DpiCycle", SOFTWARE_FUNCTION, Performer::Driver, {6, 0}},
    {11, "DeviceFunction7", 7, Performer::Mouse, {7, 1}},
    {12, "DeviceFunction8", 8, Performer::Mouse, {7, 2}},
    {13, "DeviceFunction9", 9, Performer::Mouse, {7, 3}},
    {14, "DeviceFunction10", 10, Performer::Mouse, {7, 4}},
    {15, "DeviceFunction11", 11, Performer::Mouse, {7, 5}},
    {16, "DeviceFunction12", 12, Performer::Mouse, {7, 6}},
    {17, "DpiUp", SOFTWARE_FUNCTION, Performer::Driver, {7, 7}},
    {18, "DpiDown", SOFTWARE_FUNCTION, Performer::Driver, {7, 8}},
    {19, "LightingToggle", SOFTWARE_FUNCTION, Performer::Driver, {7, 9}},
    {21, "DeviceFunction13", 13, Performer::Mouse, {8, 1}},
    {22, "DeviceFunction14", 14, Performer::Mouse, {8, 2}},
    {23, "DeviceFunction15", 15, Performer::Mouse, {8, 3}},
    {24, "DeviceFunction16", 16, Performer::Mouse, {8, 4}},
    {25, "DeviceFunction17", 17, Performer::Mouse, {8, 5}},
    {26, "VolumeMute", SOFTWARE_FUNCTION, Performer::Driver, {8, 6}},
    {31, "Copy", SOFTWARE_FUNCTION, Performer::Driver, {10, 1}},
    {32, "Paste", SOFTWARE_FUNCTION, Performer::Driver, {10, 2}},
    {33, "SelectAll", SOFTWARE_FUNCTION, Performer::Driver, {10, 3}},
    {34, "Undo", SOFTWARE_FUNCTION, Performer::Driver, {10, 4}},
    {35, "CloseWindow", SOFTWARE_FUNCTION, Performer::Driver, {10, 5}},
    {36, "OpenComputer", SOFTWARE_FUNCTION, Performer::Driver, {10, 6}},
    {37, "LockWorkstation", SOFTWARE_FUNCTION, Performer::Driver, {10, 7}},
    {38, "Calculator", SOFTWARE_FUNCTION, Performer::Driver, {10, 8}},
    {39, "CommandPrompt", SOFTWARE_FUNCTION, Performer::Driver, {10, 9}},
    {40, "NextConfig", SOFTWARE_FUNCTION, Performer::Driver, {10, 10}},
    {41, "Macro1", SOFTWARE_FUNCTION, Performer::Driver, {9, 1}},
    {42, "Macro2", SOFTWARE_FUNCTION, Performer::Driver, {9, 2}},
    {43, "Macro3", SOFTWARE_FUNCTION, Performer::Driver, {9, 3}},
    {44, "Macro4", SOFTWARE_FUNCTION, Performer::Driver, {9, 4}},
    {45, "Macro5", SOFTWARE_FUNCTION, Performer::Driver, {9, 5}},
    {46, "Macro6", SOFTWARE_FUNCTION, Performer::Driver, {9, 6}},
    {47, "Macro7", SOFTWARE_FUNCTION, Performer::Driver, {9, 7}},
    {48, "Macro8", SOFTWARE_FUNCTION, Performer::Driver, {9, 8}},
    {49, "Macro9", SOFTWARE_FUNCTION, Performer::Driver, {9, 9}},
    {50, "Macro10", SOFTWARE_FUNCTION, Performer::Driver, {9, 10}},
    {51, "Macro11", SOFTWARE_FUNCTION, Performer::Driver, {9, 11}},
    {52, "Macro12", SOFTWARE_FUNCTION, Performer::Driver, {9, 12}},
}};

inline constexpr FunctionCode FIRST_MACRO_CODE = 41;
inline constexpr FunctionCode LAST_MACRO_CODE = 52;
inline constexpr FunctionCode HIGHEST_FUNCTION_CODE = 52;

// The catalogue entry of a code, or nothing for a code outside it.
constexpr const FunctionInfo* FindFunction(FunctionCode code) {
  for (const FunctionInfo& info : FUNCTION_CATALOGUE) {
    if (info.code == code) return &info;
  }
  return nullptr;
}

constexpr bool IsInCatalogue(FunctionCode code) {
  return FindFunction(code) != nullptr;
}

// Device function a button report carries for a code; 0 (no function) outside the catalogue,
// so that nothing the mouse does not know is ever sent.
constexpr uint8_t DeviceFunctionFor(FunctionCode code) {
  const FunctionInfo* info = FindFunction(code);
  return info != nullptr ? info->deviceFunction : 0;
}

constexpr bool IsDriverPerformed(FunctionCode code) {
  return DeviceFunctionFor(code) == SOFTWARE_FUNCTION;
}

// Software sensitivity action: 2 cycle, 1 up, -1 down, 0 none.
constexpr int32_t DpiActionFor(FunctionCode code) {
  switch (code) {
    case 6:
      return 2;
    case 17:
      return 1;
    case 18:
      return -1;
    default:
      return 0;
  }
}

// Index of the macro a code plays, or nothing when the code is no macro code.
constexpr std::optional<int> MacroIndexFor(FunctionCode code) {
  if (code < FIRST_MACRO_CODE || code > LAST_MACRO_CODE) return std::nullopt;
  return code - FIRST_MACRO_CODE;
}

// The code a menu place yields: rows 1..6 their number, rows 7, 8, 10 and 9 with item n give
// 10 + n, 20 + n, 30 + n and 40 + n.
constexpr FunctionCode CodeForMenuPlace(MenuPlace place) {
  switch (place.row) {
    case 7:
      return 10 + place.item;
    case 8:
      return 20 + place.item;
    case 9:
      return 40 + place.item;
    case 10:
      return 30 + place.item;
    default:
      return place.row;
  }
}

}  // namespace kr450
