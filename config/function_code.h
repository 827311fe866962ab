#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kr450 {

// What a button does. Codes outside the catalogue below can only come from an edited file.
using FunctionCode = int32_t;

// Device function 31: the mouse reports the key to the driver instead of acting on it.
inline constexpr uint8_t SOFTWARE_FUNCTION = 31;

enum class Performer : uint8_t { Nobody, Mouse, Driver };

// What the driver does for a code it performs.
enum class DriverAction : uint8_t {
  None,
  StageStep,  // steps the active stage by the entry's stageStep
  LightingToggle,
  SendKeys,  // the entry's keys
  OpenComputer,
  LockSession,
  StartCalculator,
  StartTerminal,
  NextConfig,
  PlayMacro,  // the macro at the entry's macroIndex
};

// Where the function menus offer a code: main menu row 1..10, and for rows 7..10 the item
// (counted from 1) of the submenu that row opens; item 0 means the row itself.
struct MenuPlace {
  int row = 0;  // 0: not offered
  int item = 0;

  friend constexpr bool operator==(const MenuPlace&, const MenuPlace&) = default;
};

// Software sensitivity actions.
inline constexpr int8_t STAGE_DOWN = -1;
inline constexpr int8_t NO_STAGE_STEP = 0;
inline constexpr int8_t STAGE_UP = 1;
inline constexpr int8_t STAGE_CYCLE = 2;

inline constexpr int8_t NO_MACRO = -1;

// Pause of a Ctrl chord between the key's press and its release.
inline constexpr uint8_t CTRL_CHORD_PAUSE_MS = 20;

// Keys a function sends, as Windows virtual-key codes: pressed in order, then released in the
// opposite order. The keys before the last (the modifiers) go with scan code 0; the last one
// carries its own scan code when lastKeyScanned is set.
struct KeyChord {
  std::array<uint8_t, 3> keys{};  // unused places are 0
  uint8_t count = 0;
  bool lastKeyScanned = false;
  uint8_t pauseMs = 0;  // between the last press and the first release

  constexpr std::span<const uint8_t> Keys() const { return {keys.data(), count}; }
};

struct FunctionInfo {
  FunctionCode code;
  std::string_view name;
  uint8_t deviceFunction;
  Performer performer;
  MenuPlace menu;
  DriverAction action = DriverAction::None;
  int8_t stageStep = NO_STAGE_STEP;  // StageStep: STAGE_CYCLE, STAGE_UP or STAGE_DOWN
  int8_t macroIndex = NO_MACRO;      // PlayMacro: 0-based index in the macro list
  KeyChord keys{};                   // SendKeys
};

namespace catalogue_rows {

constexpr FunctionInfo Mouse(FunctionCode code, std::string_view name, uint8_t deviceFunction,
                             MenuPlace menu) {
  return {code, name, deviceFunction, Performer::Mouse, menu};
}
constexpr FunctionInfo Driver(FunctionCode code, std::string_view name, MenuPlace menu,
                              DriverAction action) {
  return {code, name, SOFTWARE_FUNCTION, Performer::Driver, menu, action};
}
constexpr FunctionInfo Stage(FunctionCode code, std::string_view name, MenuPlace menu,
                             int8_t step) {
  FunctionInfo info = Driver(code, name, menu, DriverAction::StageStep);
  info.stageStep = step;
  return info;
}
constexpr FunctionInfo Keys(FunctionCode code, std::string_view name, MenuPlace menu,
                            KeyChord keys) {
  FunctionInfo info = Driver(code, name, menu, DriverAction::SendKeys);
  info.keys = keys;
  return info;
}
constexpr FunctionInfo Macro(FunctionCode code, std::string_view name, MenuPlace menu,
                             int8_t index) {
  FunctionInfo info = Driver(code, name, menu, DriverAction::PlayMacro);
  info.macroIndex = index;
  return info;
}

// Ctrl (0x11) with a key; the key is released after a pause.
constexpr KeyChord CtrlChord(uint8_t vk) {
  return {{0x11, vk, 0}, 2, true, CTRL_CHORD_PAUSE_MS};
}
// Alt (0x12) with F4 (0x73), no pause.
inline constexpr KeyChord ALT_F4 = {{0x12, 0x73, 0}, 2, true, 0};
// One media key, pressed and released, scan code 0.
constexpr KeyChord MediaKey(uint8_t vk) {
  return {{vk, 0, 0}, 1, false, 0};
}

}  // namespace catalogue_rows

// Every code the driver knows, in ascending order: each code's name, the device function its
// button report carries, who performs it, where the menus offer it and, for the codes the
// driver performs, what it does. Everything else reads these facts from here.
inline constexpr auto FUNCTION_CATALOGUE = [] {
  using namespace catalogue_rows;
  return std::to_array<FunctionInfo>({
      {0, "None", 0, Performer::Nobody, {}},
      Mouse(1, "DeviceKey1", 1, {1, 0}),
      Mouse(2, "DeviceKey2", 2, {2, 0}),
      Mouse(3, "DeviceKey3", 3, {3, 0}),
      Mouse(4, "DeviceKey4", 4, {4, 0}),
      Mouse(5, "DeviceKey5", 5, {5, 0}),
      Stage(6, "DpiCycle", {6, 0}, STAGE_CYCLE),
      Mouse(11, "DeviceFunction7", 7, {7, 1}),
      Mouse(12, "DeviceFunction8", 8, {7, 2}),
      Mouse(13, "DeviceFunction9", 9, {7, 3}),
      Mouse(14, "DeviceFunction10", 10, {7, 4}),
      Mouse(15, "DeviceFunction11", 11, {7, 5}),
      Mouse(16, "DeviceFunction12", 12, {7, 6}),
      Stage(17, "DpiUp", {7, 7}, STAGE_UP),
      Stage(18, "DpiDown", {7, 8}, STAGE_DOWN),
      Driver(19, "LightingToggle", {7, 9}, DriverAction::LightingToggle),
      Mouse(21, "DeviceFunction13", 13, {8, 1}),
      Mouse(22, "DeviceFunction14", 14, {8, 2}),
      Mouse(23, "DeviceFunction15", 15, {8, 3}),
      Mouse(24, "DeviceFunction16", 16, {8, 4}),
      Mouse(25, "DeviceFunction17", 17, {8, 5}),
      Keys(26, "VolumeMute", {8, 6}, MediaKey(0xAD)),
      Keys(31, "Copy", {10, 1}, CtrlChord(0x43)),       // C
      Keys(32, "Paste", {10, 2}, CtrlChord(0x56)),      // V
      Keys(33, "SelectAll", {10, 3}, CtrlChord(0x41)),  // A
      Keys(34, "Undo", {10, 4}, CtrlChord(0x5A)),       // Z
      Keys(35, "CloseWindow", {10, 5}, ALT_F4),
      Driver(36, "OpenComputer", {10, 6}, DriverAction::OpenComputer),
      Driver(37, "LockWorkstation", {10, 7}, DriverAction::LockSession),
      Driver(38, "Calculator", {10, 8}, DriverAction::StartCalculator),
      Driver(39, "CommandPrompt", {10, 9}, DriverAction::StartTerminal),
      Driver(40, "NextConfig", {10, 10}, DriverAction::NextConfig),
      Macro(41, "Macro1", {9, 1}, 0),
      Macro(42, "Macro2", {9, 2}, 1),
      Macro(43, "Macro3", {9, 3}, 2),
      Macro(44, "Macro4", {9, 4}, 3),
      Macro(45, "Macro5", {9, 5}, 4),
      Macro(46, "Macro6", {9, 6}, 5),
      Macro(47, "Macro7", {9, 7}, 6),
      Macro(48, "Macro8", {9, 8}, 7),
      Macro(49, "Macro9", {9, 9}, 8),
      Macro(50, "Macro10", {9, 10}, 9),
      Macro(51, "Macro11", {9, 11}, 10),
      Macro(52, "Macro12", {9, 12}, 11),
  });
}();

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

// The code of the macro at `index` (0-based), or 0 (None) when no code plays it.
constexpr FunctionCode MacroCode(int index) {
  for (const FunctionInfo& info : FUNCTION_CATALOGUE) {
    if (info.action == DriverAction::PlayMacro && info.macroIndex == index) return info.code;
  }
  return 0;
}

inline constexpr FunctionCode FIRST_MACRO_CODE = MacroCode(0);
inline constexpr FunctionCode HIGHEST_FUNCTION_CODE = FUNCTION_CATALOGUE.back().code;

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
  const FunctionInfo* info = FindFunction(code);
  return info != nullptr ? info->stageStep : NO_STAGE_STEP;
}

// Index of the macro a code plays, or nothing when the code is no macro code.
constexpr std::optional<int> MacroIndexFor(FunctionCode code) {
  const FunctionInfo* info = FindFunction(code);
  if (info == nullptr || info->macroIndex == NO_MACRO) return std::nullopt;
  return info->macroIndex;
}

// The code a menu place yields, or 0 (None) for a place that offers nothing.
constexpr FunctionCode CodeForMenuPlace(MenuPlace place) {
  if (place.row == 0) return 0;
  for (const FunctionInfo& info : FUNCTION_CATALOGUE) {
    if (info.menu == place) return info.code;
  }
  return 0;
}

namespace catalogue_checks {

constexpr bool Consistent() {
  for (size_t i = 0; i < FUNCTION_CATALOGUE.size(); ++i) {
    const FunctionInfo& info = FUNCTION_CATALOGUE[i];
    if (i > 0 && FUNCTION_CATALOGUE[i - 1].code >= info.code) return false;
    const bool driver = info.performer == Performer::Driver;
    if (driver != (info.deviceFunction == SOFTWARE_FUNCTION)) return false;
    if (driver != (info.action != DriverAction::None)) return false;
    if ((info.action == DriverAction::StageStep) != (info.stageStep != NO_STAGE_STEP)) {
      return false;
    }
    if ((info.action == DriverAction::PlayMacro) != (info.macroIndex != NO_MACRO)) return false;
    if ((info.action == DriverAction::SendKeys) != (info.keys.count != 0)) return false;
  }
  return true;
}
static_assert(Consistent(), "each entry's facts agree with who performs it and what it does");

}  // namespace catalogue_checks

}  // namespace kr450
