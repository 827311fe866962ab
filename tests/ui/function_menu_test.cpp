// The function menu of a button slot: the warning that guards the last left button, the rows
// and submenus, where they stand, what a choice stores, the left-click guard, and how the
// menus go.
#include "ui/function_menu_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "macro/macro_record.h"
#include "tests/ui/window_test_support.h"
#include "ui/skin_roles.h"
#include "ui/warning_logic.h"

namespace kr450 {
namespace {

using test::TEST_MENU_METRICS;
using test::WindowHarness;
using Buttons = std::array<FunctionCode, BUTTON_COUNT>;
using Calls = std::vector<std::string>;

constexpr int ROW = 20;      // TEST_MENU_METRICS: menu rows
constexpr int SUB_ROW = 18;  // submenu items
constexpr int MENU_WIDTH = 120;

// A point inside menu row r (1-based) and submenu item i.
Point Row(int r) {
  return {10, (r - 1) * ROW + ROW / 2};
}
Point Item(int i) {
  return {10, (i - 1) * SUB_ROW + SUB_ROW / 2};
}

void SetButtons(WindowHarness& h, Buttons buttons) {
  h.state.WithConfig([&](ConfigState& s) { s.config.buttons = buttons; });
}

void AddMacros(WindowHarness& h, int count) {
  h.macros.Edit([&](MacroTableData& d) {
    d.macroCount = static_cast<int16_t>(count);
    for (int i = 0; i < count; ++i) {
      SetMacroNameUtf8(d.records[static_cast<size_t>(i)], "macro" + std::to_string(i));
    }
  });
}

// The warning shows when no slot other than the pressed one keeps the left click.
TEST(FunctionMenuTest, WarningGuardsTheLastLeftButton) {
  struct Case {
    const char* name;
    Buttons buttons;
    int slot;
    bool warns;
  };
  const Case cases[] = {
      {"slot 1 is the only left button", {1, 2, 3, 5, 4, 6}, 1, true},
      {"slot 2 keeps it as well", {1, 1, 3, 5, 4, 6}, 1, false},
      {"another slot is the only left button", {1, 2, 3, 5, 4, 6}, 2, false},
      {"no left button at all", {2, 2, 3, 5, 4, 6}, 4, true},
      {"slot 6 keeps it", {2, 2, 3, 5, 4, 1}, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowHarness h;
    SetButtons(h, c.buttons);
    h.ClickMain(main_item::Slot(c.slot));
    const SkinItem& slot = h.layout.main[static_cast<size_t>(main_item::Slot(c.slot))];
    const std::string warning =
        "ShowWarning " + std::to_string(slot.x) + "," + std::to_string(slot.y + slot.height);
    EXPECT_EQ(h.actions.Count(warning), c.warns ? 1 : 0);
    EXPECT_TRUE(h.controller.menu().IsOpen());
    EXPECT_EQ(h.controller.menu().slotBeingAssigned(), main_item::Slot(c.slot));
    EXPECT_EQ(h.controller.menu().anchor(), (Point{slot.x, slot.y + slot.height}));
  }
}

TEST(FunctionMenuTest, WarningResultDecidesWhetherTheMenuOpens) {
  struct Case {
    int result;
    bool opens;
  };
  // Only the cancel button stops: a dialog that failed (0) does not block the menu.
  for (const Case c : {Case{WARNING_CONFIRM, true}, Case{WARNING_CANCEL, false}, Case{0, true}}) {
    SCOPED_TRACE(c.result);
    WindowHarness h;
    SetButtons(h, {1, 2, 3, 5, 4, 6});
    h.actions.warningResult = c.result;
    h.ClickMain(main_item::Slot(1));
    EXPECT_EQ(h.controller.menu().IsOpen(), c.opens);
    EXPECT_EQ(h.actions.Count("ShowFunctionMenu"), c.opens ? 1 : 0);
    EXPECT_EQ(h.state.Config().buttons[0], 1);
    EXPECT_FALSE(h.controller.pointer().buttonPressed);  // the dialog took the release
  }
}

TEST(FunctionMenuTest, RowsComeFromTheCatalogueAndTheMacroNames) {
  const SkinLayout layout = test::WindowTestLayout();
  const std::vector<std::string> macros = {"alpha", "beta", "gamma", "delta"};
  const MenuContent content = BuildMenuContent(layout, macros);
  for (int r = 1; r <= MENU_ROW_COUNT; ++r) {
    SCOPED_TRACE(r);
    const MenuRow& row = content.rows[static_cast<size_t>(r - 1)];
    EXPECT_EQ(row.text, "f" + std::to_string(r));
    EXPECT_EQ(row.code, r <= 6 ? r : 0);
  }
  const std::vector<MenuRow>& row7 = content.subMenus[6];
  ASSERT_EQ(row7.size(), 9u);
  EXPECT_EQ(row7[0].code, 11);
  EXPECT_EQ(row7[8].code, 19);
  EXPECT_EQ(row7[8].text, "f19");
  EXPECT_EQ(content.subMenus[7].size(), 6u);
  EXPECT_EQ(content.subMenus[7][5].code, 26);
  EXPECT_EQ(content.subMenus[9].size(), 10u);
  EXPECT_EQ(content.subMenus[9][9].code, 40);
  ASSERT_EQ(content.subMenus[8].size(), 4u);
  EXPECT_EQ(content.subMenus[8][1].text, "beta");
  EXPECT_EQ(content.subMenus[8][1].code, 42);
  EXPECT_EQ(content.macroCount, 4);
  EXPECT_TRUE(content.subMenus[0].empty());
}

// A menu opened for slot 2 of a mouse whose only left button is slot 1.
class OpenMenuTest : public ::testing::Test {
 protected:
  void Open(int slot, Buttons buttons) {
    SetButtons(h, buttons);
    h.ClickMain(main_item::Slot(slot));
    ASSERT_TRUE(h.controller.menu().IsOpen());
    h.actions.Clear();
  }
  const FunctionMenu& menu() { return h.controller.menu(); }
  Point Anchor() { return menu().anchor(); }

  WindowHarness h;
};

struct ChoiceCase {
  const char* name;
  int slot;
  Buttons before;
  int row;   // menu row to release on
  int item;  // submenu item, 0 for a direct row
  int macros;
  Buttons after;
};

// A choice stores its code with the left-click guard; the menus go and the window repaints.
TEST_F(OpenMenuTest, ChoiceStoresTheCodeWithTheGuardAndClosesTheMenus) {
  const ChoiceCase cases[] = {
      {"row 3 for slot 4", 4, {1, 2, 3, 5, 4, 6}, 3, 0, 0, {1, 2, 3, 3, 4, 6}},
      {"row 5 for the only left button, slot 2",
       2,
       {2, 1, 3, 5, 4, 6},
       5,
       0,
       0,
       {2, 5, 1, 5, 4, 6}},
      {"row 5 for the only left button, slot 6",
       6,
       {2, 2, 3, 5, 4, 1},
       5,
       0,
       0,
       {2, 2, 3, 5, 4, 1}},
      {"row 1 keeps the left button where it is",
       3,
       {2, 1, 3, 5, 4, 6},
       1,
       0,
       0,
       {2, 1, 1, 5, 4, 6}},
      {"row 7 item 2", 1, {1, 1, 3, 5, 4, 6}, 7, 2, 0, {12, 1, 3, 5, 4, 6}},
      {"row 8 item 6", 1, {1, 1, 3, 5, 4, 6}, 8, 6, 0, {26, 1, 3, 5, 4, 6}},
      {"row 10 item 10", 2, {1, 1, 3, 5, 4, 6}, 10, 10, 0, {1, 40, 3, 5, 4, 6}},
      {"row 9 item 2 of 4 macros", 2, {1, 1, 3, 5, 4, 6}, 9, 2, 4, {1, 42, 3, 5, 4, 6}},
      {"row 9 item 1 for the only left button",
       1,
       {1, 2, 3, 5, 4, 6},
       9,
       1,
       4,
       {41, 1, 3, 5, 4, 6}},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    h.macros.Edit([](MacroTableData& d) { d.macroCount = 0; });
    AddMacros(h, c.macros);
    Open(c.slot, c.before);
    h.controller.OnMenuPointerMove(Row(c.row));
    if (c.item == 0) {
      h.controller.OnMenuButtonDown(Row(c.row));
      h.controller.OnMenuButtonUp(Row(c.row));
    } else {
      ASSERT_TRUE(menu().subMenu().has_value());
      h.controller.OnSubMenuPointerMove(Item(c.item));
      h.controller.OnSubMenuButtonDown(Item(c.item));
      h.controller.OnSubMenuButtonUp(Item(c.item));
    }
    EXPECT_EQ(h.state.Config().buttons, c.after);
    EXPECT_FALSE(menu().IsOpen());
    EXPECT_FALSE(menu().subMenu().has_value());
    EXPECT_EQ(h.actions.Count("CloseFunctionMenu"), 1);
    EXPECT_EQ(h.actions.calls.back(), "Repaint");
  }
}

// Releasing over a category row, the extra line below the rows or outside leaves the menu
// open and the slot as it was.
TEST_F(OpenMenuTest, ReleasesThatChooseNothing) {
  Open(2, {1, 1, 3, 5, 4, 6});
  const Buttons before = h.state.Config().buttons;
  const int lastLine = MENU_ROW_COUNT * ROW;  // the one-pixel row 11
  for (Point p : {Row(7), Row(8), Row(9), Row(10), Point{10, lastLine}, Point{MENU_WIDTH, 5}}) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    h.controller.OnMenuButtonDown(p);
    h.controller.OnMenuButtonUp(p);
    EXPECT_TRUE(menu().IsOpen());
    EXPECT_EQ(h.state.Config().buttons, before);
  }
  EXPECT_EQ(menu().RowAt({10, lastLine}), 11);
  EXPECT_EQ(menu().RowAt({10, lastLine + 1}), NO_CONTROL);  // outside the shown rows
  h.controller.OnMenuPointerMove({10, lastLine});
  EXPECT_EQ(menu().hover(), 11);
  EXPECT_FALSE(menu().subMenu().has_value());
  EXPECT_EQ(h.actions.Count("CloseFunctionMenu"), 0);
}

struct SubMenuCase {
  int row;
  int macros;
  int items;
  int rowsDown;  // the submenu's top, in menu rows from the menu's top
};

// The submenu follows the highlighted row: beside the menu, as many items as the row offers,
// at the row's own height rule; the macro submenu ends level with its row.
TEST_F(OpenMenuTest, SubMenuSizeAndPlace) {
  const SubMenuCase cases[] = {
      {7, 0, 9, -1}, {8, 0, 6, 2},    {10, 0, 10, 0}, {9, 4, 4, 5},
      {9, 1, 1, 8},  {9, 12, 12, -3}, {9, 0, 0, 9},
  };
  for (const SubMenuCase& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.row) + ", " + std::to_string(c.macros) + " macros");
    h.macros.Edit([](MacroTableData& d) { d.macroCount = 0; });
    AddMacros(h, c.macros);
    Open(2, {1, 1, 3, 5, 4, 6});
    h.controller.OnMenuPointerMove(Row(c.row));
    ASSERT_TRUE(menu().subMenu().has_value());
    EXPECT_EQ(menu().subMenu()->itemCount, c.items);
    const MenuRect rect = menu().SubMenuRect();
    EXPECT_EQ(rect.x, Anchor().x + MENU_WIDTH);
    EXPECT_EQ(rect.y, Anchor().y + c.rowsDown * ROW);
    EXPECT_EQ(rect.width, TEST_MENU_METRICS.subMenuWidth);
    EXPECT_EQ(rect.height, c.items == 0 ? 0 : c.items * SUB_ROW + 1);
    EXPECT_EQ(h.actions.Count("FunctionMenuChanged"), 1);
  }
}

TEST_F(OpenMenuTest, MovingToAnotherCategoryReplacesTheSubMenu) {
  Open(2, {1, 1, 3, 5, 4, 6});
  h.controller.OnMenuPointerMove(Row(7));
  h.controller.OnSubMenuPointerMove(Item(3));
  EXPECT_EQ(menu().subMenu()->hover, 3);
  // Back in the menu on row 8: a fresh 6-item submenu, two rows below the menu's top.
  h.controller.OnMenuPointerMove(Row(8));
  ASSERT_TRUE(menu().subMenu().has_value());
  EXPECT_EQ(menu().subMenu()->row, 8);
  EXPECT_EQ(menu().subMenu()->itemCount, 6);
  EXPECT_EQ(menu().subMenu()->hover, NO_CONTROL);
  EXPECT_EQ(menu().SubMenuRect().y, Anchor().y + 2 * ROW);
  // A direct row has none.
  h.controller.OnMenuPointerMove(Row(4));
  EXPECT_FALSE(menu().subMenu().has_value());
}

TEST_F(OpenMenuTest, SubMenuReleaseOutsideItsItemsClosesWithoutChoosing) {
  Open(2, {1, 1, 3, 5, 4, 6});
  const Buttons before = h.state.Config().buttons;
  h.controller.OnMenuPointerMove(Row(8));
  const Point below{10, 6 * SUB_ROW};  // the line under the sixth item
  h.controller.OnSubMenuButtonDown(below);
  h.controller.OnSubMenuButtonUp(below);
  EXPECT_EQ(h.state.Config().buttons, before);
  EXPECT_FALSE(menu().IsOpen());
  EXPECT_EQ(h.actions.Count("CloseFunctionMenu"), 1);
}

TEST_F(OpenMenuTest, PressedRowShowsPressedAndReleaseKeepsCategoryOpen) {
  Open(2, {1, 1, 3, 5, 4, 6});
  h.controller.OnMenuButtonDown(Row(7));
  EXPECT_TRUE(menu().pressed());
  EXPECT_EQ(menu().subMenu()->row, 7);
  h.controller.OnMenuButtonUp(Row(7));
  EXPECT_FALSE(menu().pressed());
  EXPECT_TRUE(menu().IsOpen());
  EXPECT_EQ(menu().subMenu()->row, 7);
}

// Any press on the main page closes the menu before it acts.
TEST_F(OpenMenuTest, MainWindowPressClosesTheMenuFirst) {
  Open(2, {1, 1, 3, 5, 4, 6});
  h.ClickMain(main_item::Slot(5));
  EXPECT_EQ(h.actions.Commands(), (Calls{"CloseFunctionMenu", "ShowFunctionMenu"}));
  EXPECT_EQ(menu().slotBeingAssigned(), main_item::Slot(5));
  const SkinItem& slot5 = h.layout.main[static_cast<size_t>(main_item::Slot(5))];
  EXPECT_EQ(menu().anchor(), (Point{slot5.x, slot5.y + slot5.height}));

  h.actions.Clear();
  h.ClickMain(main_item::TAB_LIGHTING);
  EXPECT_FALSE(menu().IsOpen());
  EXPECT_EQ(h.controller.page(), PAGE_LIGHTING);
  EXPECT_EQ(h.actions.Commands(), (Calls{"CloseFunctionMenu", "StartLightingPreview"}));

  // An empty area: closed, then dragged.
  WindowHarness other;
  SetButtons(other, {1, 1, 3, 5, 4, 6});
  other.ClickMain(main_item::Slot(1));
  other.actions.Clear();
  other.controller.OnButtonDown(test::EMPTY_AREA);
  EXPECT_EQ(other.actions.Commands(), (Calls{"CloseFunctionMenu", "StartSystemMove"}));
}

TEST(FunctionMenuTest, AssignFunctionGuard) {
  struct Case {
    const char* name;
    Buttons before;
    int slot;
    FunctionCode code;
    Buttons after;
  };
  const Case cases[] = {
      {"another left button stays", {1, 1, 3, 5, 4, 6}, 1, 41, {41, 1, 3, 5, 4, 6}},
      {"slot 5 hands it to slot 6", {2, 2, 3, 5, 1, 6}, 5, 3, {2, 2, 3, 5, 3, 1}},
      {"slot 6 keeps it", {2, 2, 3, 5, 4, 1}, 6, 19, {2, 2, 3, 5, 4, 1}},
      {"a slot outside 1..6 changes nothing", {2, 2, 3, 5, 4, 6}, 7, 3, {2, 2, 3, 5, 4, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceConfig config;
    config.buttons = c.before;
    AssignFunction(config, c.slot, c.code);
    EXPECT_EQ(config.buttons, c.after);
  }
}

// The warning: only the release position counts, the message never lights, the keys.
TEST(WarningLogicTest, ReleasePositionDecides) {
  std::array<SkinItem, WARNING_TABLE_SIZE> table = {SkinItem{10, 60, 40, 20, "ok"},
                                                    SkinItem{60, 60, 40, 20, "cancel"},
                                                    SkinItem{0, 0, 120, 50, "message"}};
  struct Case {
    const char* name;
    Point press;
    Point release;
    std::optional<int> result;
  };
  const Case cases[] = {
      {"confirm", {20, 70}, {20, 70}, WARNING_CONFIRM},
      {"cancel", {70, 70}, {70, 70}, WARNING_CANCEL},
      {"pressed on confirm, released on cancel", {20, 70}, {70, 70}, WARNING_CANCEL},
      {"pressed on cancel, released on confirm", {70, 70}, {20, 70}, WARNING_CONFIRM},
      {"released on the message", {20, 70}, {20, 20}, std::nullopt},
      {"released outside", {20, 70}, {200, 200}, std::nullopt},
      {"right edge excluded", {20, 70}, {50, 70}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WarningLogic warning(table);
    warning.PointerMove(c.press);
    warning.PointerMove(c.release);
    EXPECT_EQ(warning.ButtonUp(c.release), c.result);
  }
  WarningLogic warning(table);
  EXPECT_FALSE(warning.PointerMove({20, 20}));  // the message: no highlight, no repaint
  EXPECT_EQ(warning.hover(), NO_CONTROL);
  EXPECT_TRUE(warning.PointerMove({20, 70}));
  EXPECT_FALSE(warning.PointerMove({21, 70}));
  EXPECT_EQ(warning.hover(), WARNING_CONFIRM);
  EXPECT_EQ(WarningResultForKey(WarningKey::Enter), WARNING_CONFIRM);
  EXPECT_EQ(WarningResultForKey(WarningKey::Escape), WARNING_CANCEL);
  EXPECT_EQ(WarningResultForKey(WarningKey::Close), WARNING_CANCEL);
}

}  // namespace
}  // namespace kr450
