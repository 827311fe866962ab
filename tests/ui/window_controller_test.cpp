// The main window's pointer: every control of the three tables on the pages where it acts
// and on the others, press here and release there, the drag, the hover repaints, page
// switches, and the errors the user must see.
#include "ui/window_controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/ini_file.h"
#include "tests/ui/window_test_support.h"
#include "ui/skin_roles.h"

namespace kr450 {
namespace {

using test::Centre;
using test::EMPTY_AREA;
using test::StoredConfig;
using test::WindowHarness;
using Calls = std::vector<std::string>;
using Effect = std::function<void(ConfigState&)>;

constexpr uint8_t MAIN = 1 << PAGE_MAIN;
constexpr uint8_t ADVANCED = 1 << PAGE_ADVANCED;
constexpr uint8_t LIGHTING = 1 << PAGE_LIGHTING;
constexpr uint8_t ALL = MAIN | ADVANCED | LIGHTING;
constexpr int PAGES[] = {PAGE_MAIN, PAGE_ADVANCED, PAGE_LIGHTING};

enum class Table { Main, Lighting, Advanced };

struct ControlCase {
  std::string name;
  Table table;
  int index;
  uint8_t pages;   // where a click acts
  Calls commands;  // what the click asks of the platform there (repaints aside)
  Effect effect;   // how it changes the state there
  std::optional<Calls> advancedCommands = std::nullopt;  // other commands on the advanced page
};

const Effect NOTHING = [](ConfigState&) {};

Effect WithConfig(std::function<void(DeviceConfig&)> f) {
  return [f = std::move(f)](ConfigState& s) { f(s.config); };
}

// A dialog's call ends with a blank where the data folder of the harness goes.
std::vector<ControlCase> ControlCases() {
  const std::string iniDialog = " All Files(*.ini) *.ini ";
  const std::string datDialog = " All Files(*.dat) *.dat ";
  std::vector<ControlCase> cases = {
      {"save", Table::Main, 0, MAIN, {}, NOTHING},
      {"status line", Table::Main, 1, 0, {}, NOTHING},
      {"revert and hide",
       Table::Main,
       2,
       ALL,
       {"HideToTray"},
       [](ConfigState& s) {
         const int32_t level = s.config.dpiLevel;
         s.config = StoredConfig(APPLIED_CONFIG);
         s.config.dpiLevel = level;
       }},
      {"apply", Table::Main, 3, ALL, {"Apply"}, NOTHING},
      {"minimise", Table::Main, 12, ALL, {"Minimise"}, NOTHING},
      {"close", Table::Main, 13, ALL, {"HideToTray"}, NOTHING},
      {"import configuration (cancelled)",
       Table::Main,
       14,
       MAIN,
       {"OpenFile" + iniDialog + ". "},
       NOTHING},
      {"export configuration (cancelled)",
       Table::Main,
       15,
       MAIN,
       {"SaveFile" + iniDialog + ".ini "},
       NOTHING},
      {"reset",
       Table::Main,
       16,
       ALL,
       {"Apply"},
       [](ConfigState& s) {
         s.config = FactoryConfig(s.config);
         s.appliedDpiStage = DefaultDpiStage;
       },
       Calls{"RefreshMacroList", "Apply"}},
      {"wheel off", Table::Main, 32, MAIN, {}, WithConfig([](DeviceConfig& c) {
         c.wheelStatus = 0;
       })},
      {"wheel on", Table::Main, 33, MAIN, {}, WithConfig([](DeviceConfig& c) {
         c.wheelStatus = 1;
       })},
      {"lighting 4, a look only", Table::Lighting, 4, 0, {}, NOTHING},
      {"import macros (cancelled)",
       Table::Advanced,
       0,
       ADVANCED,
       {"OpenFile" + datDialog + ". "},
       NOTHING},
      {"export macros (cancelled)",
       Table::Advanced,
       1,
       ADVANCED,
       {"SaveFile" + datDialog + ".dat "},
       NOTHING},
      {"add macro", Table::Advanced, 2, ADVANCED, {"AddMacro"}, NOTHING},
      {"delete macro", Table::Advanced, 3, ADVANCED, {"DeleteMacro"}, NOTHING},
      {"record", Table::Advanced, 4, ADVANCED, {"ToggleRecording"}, NOTHING},
      {"save macros", Table::Advanced, 5, ADVANCED, {"SaveMacros"}, NOTHING},
      {"repeat", Table::Advanced, 6, ADVANCED, {"ToggleRepeat"}, NOTHING},
      {"macro mode", Table::Advanced, 7, ADVANCED, {}, WithConfig([](DeviceConfig& c) {
         c.macroMode = 1;
       })},
      {"advanced 11, a look only", Table::Advanced, 11, 0, {}, NOTHING},
  };
  for (int n = 1; n <= USER_CONFIG_COUNT; ++n) {
    cases.push_back(
        {"configuration " + std::to_string(n), Table::Main, 3 + n, ALL, {}, [n](ConfigState& s) {
           s.currentConfig = n;
           s.config = StoredConfig(n);
         }});
  }
  for (int k = 1; k <= BUTTON_COUNT; ++k) {
    cases.push_back(
        {"slot " + std::to_string(k), Table::Main, 16 + k, MAIN, {"ShowFunctionMenu"}, NOTHING});
  }
  for (int s = 0; s < STAGE_COUNT; ++s) {
    cases.push_back({"enable stage " + std::to_string(s + 1),
                     Table::Main,
                     27 + s,
                     MAIN,
                     {},
                     WithConfig([s](DeviceConfig& c) { ToggleStageEnabled(c, s); })});
    cases.push_back({"select stage " + std::to_string(s + 1),
                     Table::Main,
                     41 + s,
                     MAIN,
                     {},
                     WithConfig([s](DeviceConfig& c) { c.dpiLevel = s; })});
    for (int v = 0; v <= MAX_STAGE_VALUE; ++v) {
      cases.push_back({"stage " + std::to_string(s + 1) + " step " + std::to_string(v),
                       Table::Main,
                       45 + 5 * s + v,
                       MAIN,
                       {},
                       WithConfig([s, v](DeviceConfig& c) {
                         c.dpiStage[static_cast<size_t>(s)] = static_cast<uint8_t>(v);
                       })});
    }
  }
  for (int i : {23, 24, 25, 26, 31, 34, 35, 36, 37, 38, 39, 40}) {
    cases.push_back(
        {"main " + std::to_string(i) + " without action", Table::Main, i, 0, {}, NOTHING});
  }
  for (int speed = 8; speed <= 10; ++speed) {
    cases.push_back(
        {"pointer speed " + std::to_string(speed),
         Table::Advanced,
         speed,
         ADVANCED,
         {},
         WithConfig([speed](DeviceConfig& c) { c.pointerSpeed = static_cast<uint8_t>(speed); })});
  }
  for (int mode = 0; mode <= 3; ++mode) {
    cases.push_back(
        {"lighting mode " + std::to_string(mode),
         Table::Lighting,
         mode,
         LIGHTING,
         {},
         WithConfig([mode](DeviceConfig& c) { c.ledStatus = static_cast<uint8_t>(mode); })});
  }
  return cases;
}

const SkinItem& ItemOf(const WindowHarness& h, Table table, int index) {
  const size_t i = static_cast<size_t>(index);
  switch (table) {
    case Table::Lighting:
      return h.layout.lighting[i];
    case Table::Advanced:
      return h.layout.advanced[i];
    default:
      return h.layout.main[i];
  }
}

// A click on a control where it acts does exactly its command; on the other pages it does
// nothing, at most the drag of an empty area (entries that a page does not test are empty
// there).
TEST(WindowControllerTest, EveryControlActsOnItsPagesOnly) {
  for (const ControlCase& c : ControlCases()) {
    for (int page : PAGES) {
      SCOPED_TRACE(c.name + " on page " + std::to_string(page));
      WindowHarness h;
      h.GoTo(page);
      ConfigState expected = h.state.Snapshot();
      const bool acts = (c.pages & (1 << page)) != 0;
      if (acts) c.effect(expected);

      h.Click(Centre(ItemOf(h, c.table, c.index)));

      EXPECT_EQ(h.state.Snapshot(), expected);
      Calls commands = h.actions.Commands();
      if (acts) {
        Calls want = page == PAGE_ADVANCED && c.advancedCommands ? *c.advancedCommands : c.commands;
        for (std::string& call : want) {
          if (call.ends_with(' ')) call += h.dir.path().string();
        }
        EXPECT_EQ(commands, want);
      } else {
        EXPECT_TRUE(commands.empty() || commands == Calls{"StartSystemMove"})
            << commands.size() << " calls, the first " << commands.front();
      }
      EXPECT_FALSE(h.controller.pointer().buttonPressed);
    }
  }
}

struct TabCase {
  int tab;
  int from;
  int to;  // the page afterwards
  Calls commands;
};

TEST(WindowControllerTest, TabsSwitchPagesWithTheirControlsAndWorkers) {
  const TabCase cases[] = {
      {main_item::TAB_MAIN, PAGE_MAIN, PAGE_MAIN, {}},
      {main_item::TAB_MAIN,
       PAGE_ADVANCED,
       PAGE_MAIN,
       {"DestroyAdvancedControls", "StartPromptBlink"}},
      {main_item::TAB_MAIN, PAGE_LIGHTING, PAGE_MAIN, {"StartPromptBlink"}},
      {main_item::TAB_ADVANCED,
       PAGE_MAIN,
       PAGE_ADVANCED,
       {"CreateAdvancedControls", "RefreshMacroList"}},
      {main_item::TAB_ADVANCED, PAGE_ADVANCED, PAGE_ADVANCED, {}},
      {main_item::TAB_ADVANCED,
       PAGE_LIGHTING,
       PAGE_ADVANCED,
       {"CreateAdvancedControls", "RefreshMacroList"}},
      {main_item::TAB_LIGHTING, PAGE_MAIN, PAGE_LIGHTING, {"StartLightingPreview"}},
      {main_item::TAB_LIGHTING,
       PAGE_ADVANCED,
       PAGE_LIGHTING,
       {"DestroyAdvancedControls", "StartLightingPreview"}},
      {main_item::TAB_LIGHTING, PAGE_LIGHTING, PAGE_LIGHTING, {}},
  };
  for (const TabCase& c : cases) {
    SCOPED_TRACE("tab " + std::to_string(c.tab) + " from page " + std::to_string(c.from));
    WindowHarness h;
    h.GoTo(c.from);
    h.ClickMain(c.tab);
    EXPECT_EQ(h.controller.page(), c.to);
    EXPECT_EQ(h.actions.Commands(), c.commands);
    EXPECT_EQ(h.state.mainPageShown.load(), c.to == PAGE_MAIN);
  }
}

TEST(WindowControllerTest, EnteringTheAdvancedPageRepaintsOnlyAroundItsControls) {
  WindowHarness h;
  h.ClickMain(main_item::TAB_ADVANCED);
  ASSERT_GE(h.actions.calls.size(), 2u);
  EXPECT_EQ(h.actions.Count("RepaintAdvancedRegion"), 1);
  // Hover changes there repaint the same region only.
  h.actions.Clear();
  h.controller.OnPointerMove(Centre(h.layout.advanced[2]));
  h.controller.OnPointerMove(Centre(h.layout.advanced[2]));
  EXPECT_EQ(h.actions.calls, Calls{"RepaintAdvancedRegion"});
}

// Release acts on what is under the pointer then; the press is not remembered.
TEST(WindowControllerTest, PressHereReleaseThere) {
  struct Case {
    const char* name;
    Point press;
    Point release;
    int applies;
  };
  WindowHarness probe;
  const Point apply = Centre(probe.layout.main[main_item::APPLY]);
  const Point wheel = Centre(probe.layout.main[main_item::WHEEL_ON]);
  const Point save = Centre(probe.layout.main[main_item::SAVE]);
  const Case cases[] = {
      {"on apply, off elsewhere", apply, {300, 280}, 0},
      {"on apply, off on the wheel", apply, wheel, 0},
      {"on the wheel, off on apply", wheel, apply, 1},
      {"on save, off on apply", save, apply, 1},
      {"on apply, off on apply", apply, apply, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowHarness h;
    h.controller.OnButtonDown(c.press);
    h.controller.OnPointerMove(c.release);
    h.controller.OnButtonUp(c.release);
    EXPECT_EQ(h.actions.Count("Apply"), c.applies);
  }
}

TEST(WindowControllerTest, PressedLookLastsFromPressToRelease) {
  WindowHarness h;
  h.controller.OnButtonDown(Centre(h.layout.main[main_item::WHEEL_ON]));
  EXPECT_TRUE(h.controller.pointer().buttonPressed);
  PaintView view;
  h.controller.FillPaintView(view);
  EXPECT_TRUE(view.buttonPressed);
  EXPECT_EQ(view.hoverMain, main_item::WHEEL_ON);
  h.controller.OnButtonUp(EMPTY_AREA);
  EXPECT_FALSE(h.controller.pointer().buttonPressed);
  EXPECT_EQ(h.actions.calls.back(), "Repaint");
}

// Only an area without a control of the page moves the window; the lighting page's entry 4
// and the advanced page's entry 11 do nothing and block it.
TEST(WindowControllerTest, DragOnlyOnEmptyAreas) {
  struct Case {
    const char* name;
    int page;
    std::function<Point(const SkinLayout&)> where;
    bool drags;
  };
  const Case cases[] = {
      {"main, empty", PAGE_MAIN, [](const SkinLayout&) { return EMPTY_AREA; }, true},
      {"main, a slot", PAGE_MAIN, [](const SkinLayout& l) { return Centre(l.main[17]); }, false},
      {"main, drawn-only entry 70", PAGE_MAIN,
       [](const SkinLayout& l) { return Centre(l.main[70]); }, true},
      {"main, where the lighting table lies", PAGE_MAIN,
       [](const SkinLayout& l) { return Centre(l.lighting[0]); }, true},
      {"advanced, empty", PAGE_ADVANCED, [](const SkinLayout&) { return EMPTY_AREA; }, true},
      {"advanced, a main-page slot", PAGE_ADVANCED,
       [](const SkinLayout& l) { return Centre(l.main[17]); }, true},
      {"advanced, the frame's save", PAGE_ADVANCED,
       [](const SkinLayout& l) { return Centre(l.main[0]); }, false},
      {"advanced, entry 11", PAGE_ADVANCED,
       [](const SkinLayout& l) { return Centre(l.advanced[11]); }, false},
      {"advanced, entry 12 (never under the pointer)", PAGE_ADVANCED,
       [](const SkinLayout& l) { return Centre(l.advanced[12]); }, true},
      {"lighting, empty", PAGE_LIGHTING, [](const SkinLayout&) { return EMPTY_AREA; }, true},
      {"lighting, entry 4", PAGE_LIGHTING,
       [](const SkinLayout& l) { return Centre(l.lighting[4]); }, false},
      {"lighting, the preview", PAGE_LIGHTING,
       [](const SkinLayout& l) { return Centre(l.lighting[11]); }, true},
      {"lighting, the frame's import", PAGE_LIGHTING,
       [](const SkinLayout& l) { return Centre(l.main[14]); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowHarness h;
    h.GoTo(c.page);
    h.controller.OnButtonDown(c.where(h.layout));
    EXPECT_EQ(h.actions.Count("StartSystemMove"), c.drags ? 1 : 0);
    // The move takes the release; nothing stays drawn pressed.
    if (c.drags) {
      EXPECT_FALSE(h.controller.pointer().buttonPressed);
    }
    // A right-click on the same place asks for the window menu exactly where a drag starts.
    h.actions.Clear();
    const Point p = c.where(h.layout);
    h.controller.OnContextMenu(p);
    EXPECT_EQ(h.actions.Count("OpenWindowMenu " + std::to_string(p.x) + "," + std::to_string(p.y)),
              c.drags ? 1 : 0);
  }
}

TEST(WindowControllerTest, HoverRepaintsOnlyWhenWhatShowsChanges) {
  WindowHarness h;
  const Point slot = Centre(h.layout.main[17]);
  h.controller.OnPointerMove(slot);
  h.controller.OnPointerMove({slot.x + 1, slot.y});
  EXPECT_EQ(h.actions.calls, Calls{"Repaint"});
  EXPECT_EQ(h.controller.pointer().hoverMain, 17);
  // The lighting table is not drawn on the main page: hovering it repaints nothing.
  h.controller.OnPointerMove(EMPTY_AREA);
  h.actions.Clear();
  h.controller.OnPointerMove(Centre(h.layout.lighting[1]));
  EXPECT_TRUE(h.actions.calls.empty());
  EXPECT_EQ(h.controller.pointer().hoverLighting, 1);
  // Leaving the window puts out the hover look.
  h.controller.OnPointerMove(slot);
  h.actions.Clear();
  h.controller.OnPointerLeave();
  EXPECT_EQ(h.controller.pointer().hoverMain, NO_CONTROL);
  EXPECT_EQ(h.actions.calls, Calls{"Repaint"});
}

// The main page tests entries up to 64, the other pages only the frame.
TEST(WindowControllerTest, HoverRangesByPage) {
  struct Case {
    int page;
    int entry;
    int hover;
  };
  const Case cases[] = {
      {PAGE_MAIN, 64, 64},     {PAGE_MAIN, 65, NO_CONTROL},     {PAGE_MAIN, 16, 16},
      {PAGE_ADVANCED, 16, 16}, {PAGE_ADVANCED, 17, NO_CONTROL}, {PAGE_LIGHTING, 64, NO_CONTROL}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.page) + "/" + std::to_string(c.entry));
    WindowHarness h;
    h.GoTo(c.page);
    h.controller.OnPointerMove(Centre(h.layout.main[static_cast<size_t>(c.entry)]));
    EXPECT_EQ(h.controller.pointer().hoverMain, c.hover);
  }
}

// The control that hid the window does not keep its hover look, and lights again when the
// pointer comes back over it.
TEST(WindowControllerTest, CloseForgetsItsHover) {
  WindowHarness h;
  const Point close = Centre(h.layout.main[main_item::CLOSE]);
  h.controller.OnPointerMove(close);
  h.Click(close);
  EXPECT_EQ(h.controller.pointer().hoverMain, NO_CONTROL);
  h.actions.Clear();
  h.controller.OnPointerMove(close);
  EXPECT_EQ(h.controller.pointer().hoverMain, main_item::CLOSE);
  EXPECT_EQ(h.actions.calls, Calls{"Repaint"});
}

TEST(WindowControllerTest, WithoutATrayCloseAndRevertMinimise) {
  for (int control : {main_item::CLOSE, main_item::DRIVER_MODE}) {
    SCOPED_TRACE(control);
    WindowHarness h;
    h.actions.trayAvailable = false;
    h.ClickMain(control);
    EXPECT_EQ(h.actions.Commands(), Calls{"Minimise"});
  }
}

DeviceConfig FileSection(const std::string& path, int n) {
  const Result<IniDocument> doc = ReadIniFile(path);
  EXPECT_TRUE(doc.ok()) << doc.message();
  return doc.ok() ? ReadConfigSection(*doc, ConfigSectionName(n)) : DeviceConfig{};
}

TEST(WindowControllerTest, SaveWritesTheCurrentConfigurationOnTheMainPageOnly) {
  for (int page : PAGES) {
    SCOPED_TRACE(page);
    WindowHarness h;
    h.GoTo(page);
    h.state.WithConfig([](ConfigState& s) { s.config.wheelStatus = 1 - s.config.wheelStatus; });
    h.ClickMain(main_item::SAVE);
    const bool saved = FileSection(h.state.configFilePath, 1) == h.state.Config();
    EXPECT_EQ(saved, page == PAGE_MAIN);
  }
}

TEST(WindowControllerTest, ExportThenImportGivesTheSameConfiguration) {
  WindowHarness h;
  h.actions.chosenFile = h.dir.File("exchange.ini");
  DeviceConfig edited = StoredConfig(3);
  edited.buttons[5] = 41;
  h.state.WithConfig([&](ConfigState& s) { s.config = edited; });
  h.ClickMain(main_item::EXPORT);
  h.state.WithConfig([](ConfigState& s) { s.config = StoredConfig(5); });
  h.ClickMain(main_item::IMPORT);
  EXPECT_EQ(h.state.Config(), edited);
  for (const std::string& call : h.actions.calls) EXPECT_FALSE(call.starts_with("ShowError"));
  EXPECT_FALSE(h.controller.pointer().buttonPressed);  // the dialog took the release
}

// Failures the engine reports reach the user: staying silent would hide lost work.
TEST(WindowControllerTest, EngineErrorsReachTheUser) {
  struct Case {
    const char* name;
    int control;
    std::function<void(WindowHarness&)> arrange;
  };
  const Case cases[] = {
      {"save into a missing folder", main_item::SAVE,
       [](WindowHarness& h) { h.state.configFilePath = h.dir.File("missing/config.ini"); }},
      {"import of a missing file", main_item::IMPORT,
       [](WindowHarness& h) { h.actions.chosenFile = h.dir.File("nothing.ini"); }},
      {"export into a missing folder", main_item::EXPORT,
       [](WindowHarness& h) { h.actions.chosenFile = h.dir.File("missing/out.ini"); }},
      {"apply that cannot store", main_item::APPLY,
       [](WindowHarness& h) { h.actions.applyStatus = Status::Error("cannot write config.ini"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowHarness h;
    c.arrange(h);
    const DeviceConfig before = h.state.Config();
    h.ClickMain(c.control);
    const Calls commands = h.actions.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_TRUE(commands.back().starts_with("ShowError ")) << commands.back();
    EXPECT_EQ(h.state.Config(), before);
  }
}

// A revert that could not read back the applied configuration keeps the window shown.
TEST(WindowControllerTest, FailedRevertDoesNotHide) {
  WindowHarness h;
  h.state.configFilePath = h.dir.File("missing/config.ini");
  h.ClickMain(main_item::DRIVER_MODE);
  const Calls commands = h.actions.Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_TRUE(commands[0].starts_with("ShowError "));
}

TEST(WindowControllerTest, ResetWithoutDefaultMacrosTellsOnceAndStillApplies) {
  WindowHarness h;
  std::filesystem::remove(h.dir.path() / "skins" / "defMacro.dat");
  h.ClickMain(main_item::RESET);
  const Calls commands = h.actions.Commands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "ShowError 找不到配置文件");
  EXPECT_EQ(commands[1], "Apply");
}

TEST(WindowControllerTest, ResetOnTheAdvancedPageRefreshesTheMacroList) {
  WindowHarness h;
  h.GoTo(PAGE_ADVANCED);
  h.ClickMain(main_item::RESET);
  EXPECT_EQ(h.actions.Commands(), (Calls{"RefreshMacroList", "Apply"}));
}

TEST(WindowControllerTest, ImportedMacrosRefreshTheList) {
  WindowHarness h;
  h.dir.Write("more.dat", "[Macros]\nmacroNum=0\n");
  h.actions.chosenFile = h.dir.File("more.dat");
  h.GoTo(PAGE_ADVANCED);
  h.Click(Centre(h.layout.advanced[advanced_item::IMPORT_MACROS]));
  const Calls commands = h.actions.Commands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1], "RefreshMacroList");
}

}  // namespace
}  // namespace kr450
