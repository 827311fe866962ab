#pragma once

// A window controller on a made-up skin, with config.ini and the default macros in a scratch
// folder and a recording fake of the platform.

#include <string>

#include "config/config_store.h"
#include "macro/macro_table.h"
#include "tests/support/scratch_dir.h"
#include "tests/ui/recording_window_actions.h"
#include "ui/window_controller.h"

namespace kr450::test {

// Main entry i: 30 x 20 at (10 + 40 * (i % 10), 10 + 30 * (i / 10)), below it the lighting
// table in one row at y 300 and the advanced table at y 340; (5, 5) is on no entry.
inline SkinLayout WindowTestLayout() {
  SkinLayout layout;
  for (size_t i = 0; i < layout.main.size(); ++i) {
    const int n = static_cast<int>(i);
    layout.main[i] = {10 + 40 * (n % 10), 10 + 30 * (n / 10), 30, 20, "m" + std::to_string(n)};
  }
  for (size_t i = 0; i < layout.lighting.size(); ++i) {
    layout.lighting[i] = {10 + 40 * static_cast<int>(i), 300, 30, 20, "l"};
  }
  for (size_t i = 0; i < layout.advanced.size(); ++i) {
    layout.advanced[i] = {10 + 40 * static_cast<int>(i), 340, 30, 20, "a"};
  }
  for (size_t n = 1; n < layout.functionNames.size(); ++n) {
    layout.functionNames[n] = "f" + std::to_string(n);
  }
  return layout;
}

inline Point Centre(const SkinItem& item) {
  return {item.x + item.width / 2, item.y + item.height / 2};
}
inline constexpr Point EMPTY_AREA{5, 5};

// Menu rows 20 high and 120 wide; submenu items 18 high and 150 wide.
inline constexpr MenuMetrics TEST_MENU_METRICS{120, 200, 150, 216};

// Configuration n as stored in config.ini (6: the one last applied).
inline DeviceConfig StoredConfig(int n) {
  DeviceConfig c;
  c.buttons = {1, 1, 3, 5, 4, n};
  c.wheelStatus = n % 2;
  c.dpiLevel = n % 4;
  c.dpiStage = {static_cast<uint8_t>(n % 5), 1, 2, 3};
  c.dpiStageEnabled = {1, 1, 1, 1};
  c.ledStatus = static_cast<uint8_t>(n % 4);
  c.pointerSpeed = static_cast<uint8_t>(8 + n % 3);
  return c;
}

class WindowHarness {
 public:
  WindowHarness() {
    std::string ini;
    for (int n = 1; n <= APPLIED_CONFIG; ++n) {
      ini += "[";
      ini += ConfigSectionName(n);
      ini += "]\n";
      for (const auto& [key, value] : ConfigKeyValues(StoredConfig(n))) {
        ini.append(key).append("=").append(value).append("\n");
      }
    }
    dir.Write("config.ini", ini);
    std::filesystem::create_directory(dir.path() / "skins");
    dir.Write("skins/defMacro.dat", "[Macros]\nmacroNum=0\n");
    state.configFilePath = dir.File("config.ini");
    SelectConfig(state, 1);
  }

  void Click(Point p) {
    controller.OnButtonDown(p);
    controller.OnButtonUp(p);
  }
  void ClickMain(int index) { Click(Centre(layout.main[static_cast<size_t>(index)])); }
  // Shows `page` and forgets the calls that took.
  void GoTo(int page) {
    controller.SwitchPage(page);
    actions.Clear();
  }

  ScratchDir dir;
  DriverState state;
  MacroTable macros;
  SkinLayout layout = WindowTestLayout();
  RecordingWindowActions actions;
  WindowController controller{state,
                              macros,
                              layout,
                              TEST_MENU_METRICS,
                              {dir.path().string(), (dir.path() / "skins").string()},
                              actions};
};

}  // namespace kr450::test
