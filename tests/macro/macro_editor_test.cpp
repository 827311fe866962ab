#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "macro/event_menu.h"
#include "macro/key_display_name.h"
#include "macro/macro_file.h"
#include "tests/macro/editor_test_support.h"
#include "tests/support/scratch_dir.h"

namespace kr450::test {
namespace {

using Lines = std::vector<std::string>;

constexpr int LEFT_PRESS_BEFORE = CMD_ADD_BEFORE_LEFT_PRESS;
constexpr int MIDDLE_RELEASE_BEFORE = CMD_ADD_BEFORE_LEFT_PRESS + 5;
constexpr int LEFT_PRESS_AFTER = CMD_ADD_AFTER_LEFT_PRESS;
constexpr int RIGHT_RELEASE_AFTER = CMD_ADD_AFTER_LEFT_PRESS + 3;

TEST(KeyDisplayName, NamesLettersDigitsKeysAndButtonsAndNothingElse) {
  struct Case {
    uint8_t code;
    std::string name;
  };
  const Case cases[] = {
      {8, "BACK"},
      {13, "RETURN"},
      {20, "CAPITAL"},
      {27, "ESCAPE"},
      {31, "MODECHANGE"},
      {47, "HELP"},
      {48, "0"},
      {57, "9"},
      {65, "A"},
      {90, "Z"},
      {91, "LWIN"},
      {95, "SLEEP"},
      {96, "NUMPAD0"},
      {105, "NUMPAD9"},
      {111, "DIVIDE"},
      {112, "F1"},
      {135, "F24"},
      {144, "NUMLOCK"},
      {145, "SCROLL"},
      {160, "LSHIFT"},
      {163, "RCONTROL"},
      {165, "RMENU"},
      {186, ";:"},
      {187, "+"},
      {191, "/?"},
      {192, "`~"},
      {219, "[{"},
      {220, "\\|"},
      {221, "]}"},
      {222, " ' "},
      {240, "Left_Key"},
      {241, "Right_Key"},
      {242, "Middle_Key"},
      // Codes between and beyond the named ones.
      {0, "不可录制"},
      {10, "不可录制"},
      {22, "不可录制"},
      {58, "不可录制"},
      {64, "不可录制"},
      {94, "不可录制"},
      {136, "不可录制"},
      {146, "不可录制"},
      {166, "不可录制"},
      {185, "不可录制"},
      {193, "不可录制"},
      {223, "不可录制"},
      {239, "不可录制"},
      {243, "不可录制"},
      {255, "不可录制"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    EXPECT_EQ(KeyDisplayName(c.code), c.name);
  }
}

TEST(MacroEditorDisplay, ShowsEventsAsLinesAndCountsThem) {
  struct Case {
    const char* what;
    std::vector<TimedEvent> events;
    uint8_t repeatEnabled;
    uint16_t repeatCount;
    Lines lines;
    int presses;
    int releases;
    std::string repeatText;
    bool repeatFieldEnabled;
  };
  const Case cases[] = {
      {"a tap of A", Tap(VK_A), 0, 1, {"[↓]A", "    30ms", "[↑]A"}, 1, 1, "1", false},
      {"Shift and A with their own delays",
       {{0xA0, ACTION_PRESS, 100},
        {VK_A, ACTION_PRESS, 7},
        {VK_A, ACTION_RELEASE, 65535},
        {0xA0, ACTION_RELEASE, 30}},
       1,
       12,
       {"[↓]LSHIFT", "    100ms", "[↓]A", "    7ms", "[↑]A", "    65535ms", "[↑]LSHIFT"},
       2,
       2,
       "12",
       true},
      {"a mouse button, an unknown key and an event of no action",
       {{KEY_MOUSE_MIDDLE, ACTION_PRESS, 30}, {200, ACTION_RELEASE, 0}, {VK_B, 0, 30}},
       0,
       5,
       {"[↓]Middle_Key", "    30ms", "[↑]不可录制", "    0ms", "B"},
       1,
       1,
       "1",
       false},
      {"no events, repetition on", {}, 1, 3, {}, 0, 0, "3", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MacroRecord record = Macro(u"m", c.events);
    record.repeatEnabled = c.repeatEnabled;
    record.SetRepeatCount(c.repeatCount);
    // Another macro shown first, so that nothing is left from the start.
    EditorFixture f({Macro(u"other", Tap(VK_B, 9)), record}, 0);
    f.controls.SelectMacroLine(1);
    f.editor.ShowSelectedMacro();
    EXPECT_EQ(f.controls.EventTexts(), c.lines);
    EXPECT_EQ(f.editor.state().pressLineCount, c.presses);
    EXPECT_EQ(f.editor.state().releaseLineCount, c.releases);
    EXPECT_EQ(f.controls.repeatText, c.repeatText);
    EXPECT_EQ(f.controls.repeatEnabled, c.repeatFieldEnabled);
    EXPECT_EQ(f.controls.nameText, "m");
    EXPECT_EQ(f.table.Snapshot().selectedMacro, 1);
  }
}

TEST(MacroEditorDisplay, RefreshListsTheMacrosAndShowsTheSelectedOne) {
  EditorFixture f({Macro(u"one", Tap(VK_A)), Macro(u"二", Tap(VK_B))});
  EXPECT_EQ(f.controls.macroLines, (Lines{"one", "二"}));
  EXPECT_EQ(f.controls.selectedMacroLine, 1);
  EXPECT_EQ(f.controls.nameText, "二");
  EXPECT_EQ(f.controls.EventTexts(), (Lines{"[↓]B", "    30ms", "[↑]B"}));

  // An import that brings no macros leaves nothing of the old ones on the page.
  f.table.Edit([](MacroTableData& d) { d.macroCount = 0; });
  f.editor.RefreshMacroList();
  EXPECT_TRUE(f.controls.macroLines.empty());
  EXPECT_TRUE(f.controls.eventLines.empty());
  EXPECT_EQ(f.controls.nameText, "");
  EXPECT_EQ(f.controls.repeatText, "1");
  EXPECT_FALSE(f.controls.repeatEnabled);
}

// Right-click a line, choose a command: what the macro holds afterwards and which line the
// editor keeps selected.
struct CommandCase {
  const char* what;
  std::vector<TimedEvent> events;
  int line;
  int command;
  std::vector<MacroEvent> expected;
  std::vector<uint16_t> delays;
  int selectedLine;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.what;
}

class MacroEditorCommands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(MacroEditorCommands, ChangeTheEventsAroundTheClickedLine) {
  const CommandCase& c = GetParam();
  EditorFixture f({Macro(u"m", c.events)});
  ASSERT_TRUE(f.RightClick(c.line, c.command));
  EXPECT_EQ(f.Events(0), c.expected);
  EXPECT_EQ(f.Delays(0), c.delays);
  EXPECT_EQ(f.editor.state().selectedLine, c.selectedLine);
  EXPECT_EQ(f.controls.selectedEventLine,
            c.selectedLine < f.controls.EventLineCount() ? c.selectedLine : NO_LINE);
}

const MacroEvent A_DOWN{VK_A, ACTION_PRESS};
const MacroEvent A_UP{VK_A, ACTION_RELEASE};
const MacroEvent LEFT_DOWN{KEY_MOUSE_LEFT, ACTION_PRESS};
const MacroEvent MIDDLE_UP{KEY_MOUSE_MIDDLE, ACTION_RELEASE};
const MacroEvent RIGHT_UP{KEY_MOUSE_RIGHT, ACTION_RELEASE};

INSTANTIATE_TEST_SUITE_P(
    Cases, MacroEditorCommands,
    ::testing::Values(
        CommandCase{"before event 0",
                    Tap(VK_A, 50),
                    0,
                    LEFT_PRESS_BEFORE,
                    {LEFT_DOWN, A_DOWN, A_UP},
                    {30, 50, 50},
                    2},
        // Line 1 is the delay after event 0 and acts on event 0.
        CommandCase{"before, on the delay line",
                    Tap(VK_A, 50),
                    1,
                    MIDDLE_RELEASE_BEFORE,
                    {MIDDLE_UP, A_DOWN, A_UP},
                    {30, 50, 50},
                    3},
        CommandCase{"after, on the delay line",
                    Tap(VK_A, 50),
                    1,
                    LEFT_PRESS_AFTER,
                    {A_DOWN, LEFT_DOWN, A_UP},
                    {50, 30, 50},
                    3},
        CommandCase{"after the last event",
                    Tap(VK_A, 50),
                    2,
                    RIGHT_RELEASE_AFTER,
                    {A_DOWN, A_UP, RIGHT_UP},
                    {50, 50, 30},
                    4},
        CommandCase{"before, in an empty list", {}, 0, LEFT_PRESS_BEFORE, {LEFT_DOWN}, {30}, 2},
        CommandCase{"after, in an empty list", {}, 0, RIGHT_RELEASE_AFTER, {RIGHT_UP}, {30}, 0},
        CommandCase{
            "delete from the delay line", Tap(VK_A, 50), 1, CMD_DELETE_EVENT, {A_UP}, {50}, 0},
        CommandCase{"delete the last event",
                    Taps(2),
                    6,
                    CMD_DELETE_EVENT,
                    {A_DOWN, A_UP, {VK_B, ACTION_PRESS}},
                    {30, 30, 30},
                    4},
        CommandCase{"delete in an empty list", {}, 0, CMD_DELETE_EVENT, {}, {}, 0}));

TEST(MacroEditorCommands, InsertIntoAFullMacroShowsOverflowAndChangesNothing) {
  for (int count : {253, 254}) {
    SCOPED_TRACE(count);
    std::vector<TimedEvent> events;
    for (int i = 0; i < count; ++i) events.push_back({VK_A, ACTION_PRESS, 30});
    EditorFixture f({Macro(u"full", events)});
    const MacroRecord before = f.Record(0);
    f.RightClick(0, LEFT_PRESS_AFTER);
    EXPECT_EQ(f.controls.overflowsShown, count == 254 ? 1 : 0);
    EXPECT_EQ(f.Record(0).eventCount, 254);
    if (count == 254) {
      EXPECT_EQ(f.Record(0), before);
    }
  }
}

TEST(MacroEditorCommands, DoNothingWithoutAMacroOrALineOrWhileRecording) {
  // No macro: the list is empty and the menu opens, but there is nothing to insert into.
  EditorFixture none({});
  EXPECT_TRUE(none.RightClick(0, LEFT_PRESS_BEFORE));
  EXPECT_EQ(none.Record(0).eventCount, 0);
  EXPECT_EQ(none.table.Count(), 0);

  // Below the last line the menu does not open, and a command that arrives anyway has no line.
  EditorFixture below({Macro(u"m", Tap(VK_A))});
  EXPECT_FALSE(below.RightClick(5, CMD_DELETE_EVENT));
  below.editor.OnCommand(CMD_DELETE_EVENT);
  below.editor.OnCommand(LEFT_PRESS_BEFORE);
  EXPECT_EQ(below.Events(0), (std::vector<MacroEvent>{A_DOWN, A_UP}));

  // Outside the list, scrolled or not, nothing opens.
  EditorFixture outside({Macro(u"m", Tap(VK_A))});
  bool opened = false;
  outside.editor.OnRightButtonUp({-4, 3, 100, 160, 0, 16}, [&] { return opened = true, 0; });
  outside.editor.OnRightButtonUp({4, 170, 100, 160, 0, 16}, [&] { return opened = true, 0; });
  EXPECT_FALSE(opened);

  EditorFixture recording({Macro(u"m", Tap(VK_A))});
  recording.editor.SetRecording(true, 0);
  EXPECT_FALSE(recording.RightClick(0, CMD_DELETE_EVENT));
  recording.editor.OnCommand(CMD_DELETE_EVENT);
  EXPECT_EQ(recording.Record(0).eventCount, 2);
}

TEST(MacroEditorCommands, ScrolledListTakesTheLineUnderThePointer) {
  EditorFixture f({Macro(u"m", Taps(10))});
  ASSERT_TRUE(f.RightClick(13, CMD_DELETE_EVENT, /*top=*/8));
  EXPECT_EQ(f.Record(0).eventCount, 19);
  EXPECT_EQ(f.Events(0)[6], (MacroEvent{0x44, ACTION_RELEASE}));  // D's press went
}

// The delay edit: begun from the menu on a delay line only, stored from the line's text.
TEST(MacroEditorDelayEdit, BeginsOnDelayLinesOnly) {
  EditorFixture f({Macro(u"m", Taps(2))});
  f.RightClick(2, CMD_MODIFY_DELAY);
  EXPECT_EQ(f.controls.delayEditsBegun, 0);
  f.RightClick(3, CMD_MODIFY_DELAY);
  EXPECT_EQ(f.controls.delayEditsBegun, 1);
  EXPECT_EQ(f.controls.selectedEventLine, 3);
}

TEST(MacroEditorDelayEdit, StoresTheEditedLineInItsDelay) {
  struct Case {
    std::string typed;
    uint16_t stored;
    std::string shown;
  };
  const Case cases[] = {
      {"250", 250, "    250ms"},
      {"250ms", 250, "    250ms"},
      {"   250", 250, "    250ms"},
      {"    30ms", 30, "    30ms"},  // Escape: the line keeps its text
      {"abc", 0, "    0ms"},
      {"65535", 65535, "    65535ms"},
      {"70000", 65535, "    65535ms"},
      {"-5", 0, "    0ms"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EditorFixture f({Macro(u"m", Taps(2))});
    f.RightClick(3, CMD_MODIFY_DELAY);
    f.controls.eventLines[3].text = c.typed;  // what the list shows when the edit ends
    f.editor.OnDelayEdited();
    EXPECT_EQ(f.Delays(0), (std::vector<uint16_t>{30, c.stored, 30, 30}));
    EXPECT_EQ(f.controls.EventLineText(3), c.shown);
    EXPECT_EQ(f.controls.selectedEventLine, 3);
  }
}

TEST(MacroEditorMacros, AddSelectsAnExistingNameOrAddsAndShowsTheMacro) {
  EditorFixture f({Macro(u"one", Tap(VK_A)), Macro(u"two", Tap(VK_B, 70))});
  f.controls.nameText = "one";
  f.editor.AddMacro();
  EXPECT_EQ(f.table.Count(), 2);
  EXPECT_EQ(f.controls.selectedMacroLine, 0);
  EXPECT_EQ(f.controls.EventTexts(), (Lines{"[↓]A", "    30ms", "[↑]A"}));
  EXPECT_EQ(f.controls.focus, PlainEditorControls::Focus::MacroList);

  // A name longer than a record holds is kept at 19 characters and found again by them.
  f.controls.nameText = "一二三四五六七八九十abcdefghijkl";
  f.editor.AddMacro();
  ASSERT_EQ(f.table.Count(), 3);
  EXPECT_EQ(MacroNameUtf8(f.Record(2)), "一二三四五六七八九十abcdefghi");
  EXPECT_EQ(f.controls.macroLines.back(), "一二三四五六七八九十abcdefghi");
  EXPECT_EQ(f.controls.nameText, "一二三四五六七八九十abcdefghi");
  EXPECT_TRUE(f.controls.eventLines.empty());
  EXPECT_EQ(f.controls.repeatText, "1");
  EXPECT_EQ(f.Record(2).RepeatCount(), 1);
  f.controls.nameText = "一二三四五六七八九十abcdefghijkl";
  f.editor.AddMacro();
  EXPECT_EQ(f.table.Count(), 3);

  f.controls.nameText = "";
  f.editor.AddMacro();
  EXPECT_EQ(f.table.Count(), 3);
}

TEST(MacroEditorMacros, AThirteenthMacroIsNotAdded) {
  std::vector<MacroRecord> twelve;
  for (int i = 0; i < MAX_MACROS; ++i)
    twelve.push_back(Macro(std::u16string(1, static_cast<char16_t>(u'a' + i)), {}));
  EditorFixture f(twelve);
  f.controls.nameText = "new";
  f.editor.AddMacro();
  EXPECT_EQ(f.table.Count(), MAX_MACROS);
  EXPECT_EQ(f.controls.MacroLineCount(), MAX_MACROS);
}

TEST(MacroEditorMacros, DeletingMacroOneOfThreeMovesTheLastDownAndResetsItsOldPlace) {
  MacroRecord third = Macro(u"three", Tap(VK_B));
  third.repeatEnabled = 1;
  third.SetRepeatCount(9);
  EditorFixture f({Macro(u"one", Tap(VK_A)), Macro(u"two", Taps(3)), third});
  f.controls.SelectMacroLine(1);
  f.editor.ShowSelectedMacro();
  f.editor.DeleteMacro();

  EXPECT_EQ(f.table.Count(), 2);
  EXPECT_EQ(f.controls.macroLines, (Lines{"one", "three"}));
  EXPECT_EQ(f.Record(1), third);
  const MacroRecord vacated = f.Record(2);
  EXPECT_EQ(vacated.eventCount, 0);
  EXPECT_EQ(vacated.repeatEnabled, 0);
  EXPECT_EQ(vacated.RepeatCount(), 1);
  EXPECT_EQ(MacroNameUtf8(vacated), "three");
  EXPECT_EQ(f.controls.selectedMacroLine, 0);
  EXPECT_EQ(f.table.Snapshot().selectedMacro, 0);
  EXPECT_EQ(f.controls.nameText, "one");
  EXPECT_EQ(f.controls.EventTexts(), (Lines{"[↓]A", "    30ms", "[↑]A"}));
}

TEST(MacroEditorMacros, DeleteNeedsASelectedMacroAndNoRecording) {
  EditorFixture f({Macro(u"one", {}), Macro(u"two", {})});
  f.controls.SelectMacroLine(NO_LINE);
  f.editor.DeleteMacro();
  EXPECT_EQ(f.table.Count(), 2);
  f.controls.SelectMacroLine(0);
  f.editor.SetRecording(true, 0);
  f.editor.DeleteMacro();
  EXPECT_EQ(f.table.Count(), 2);
  f.editor.SetRecording(false, 0);
  f.editor.DeleteMacro();
  f.editor.DeleteMacro();
  EXPECT_EQ(f.table.Count(), 0);
  EXPECT_TRUE(f.controls.macroLines.empty());
  EXPECT_EQ(f.controls.nameText, "");
  EXPECT_EQ(f.controls.repeatText, "1");
  EXPECT_FALSE(f.controls.repeatEnabled);
  f.editor.DeleteMacro();  // an empty list: nothing happens
  EXPECT_EQ(f.table.Count(), 0);
}

TEST(MacroEditorMacros, ToggleRepeatSwitchesTheFieldWithTheFlag) {
  MacroRecord record = Macro(u"m", Tap(VK_A));
  record.SetRepeatCount(40);
  EditorFixture f({record});
  f.editor.ToggleRepeat();
  EXPECT_EQ(f.Record(0).repeatEnabled, 1);
  EXPECT_EQ(f.editor.SelectedRepeatEnabled(), 1);
  EXPECT_EQ(f.controls.repeatText, "40");
  EXPECT_TRUE(f.controls.repeatEnabled);
  f.editor.ToggleRepeat();
  EXPECT_EQ(f.Record(0).repeatEnabled, 0);
  EXPECT_EQ(f.controls.repeatText, "1");
  EXPECT_FALSE(f.controls.repeatEnabled);
  EXPECT_EQ(f.Record(0).RepeatCount(), 40);

  EditorFixture none({});
  none.editor.ToggleRepeat();
  EXPECT_EQ(none.Record(0).repeatEnabled, 0);
}

TEST(MacroEditorMacros, SaveCorrectsTheRepeatCountToItsBoundsAndWritesTheFile) {
  struct Case {
    std::string typed;
    uint16_t stored;
    std::string shown;
  };
  const Case cases[] = {{"0", 1, "1"},
                        {"70000", 65535, "65535"},
                        {"12abc", 12, "12abc"},
                        {"  7", 7, "  7"},
                        {"", 1, "1"},
                        {"-3", 1, "1"},
                        {"65535", 65535, "65535"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ScratchDir dir;
    EditorFixture f({Macro(u"m", Tap(VK_A))});
    f.editor.ToggleRepeat();
    f.controls.repeatText = c.typed;
    ASSERT_TRUE(f.editor.SaveMacros(dir.File("Macro.dat")).ok());
    EXPECT_EQ(f.Record(0).RepeatCount(), c.stored);
    EXPECT_EQ(f.controls.repeatText, c.shown);
    EXPECT_NE(ReadFileBytes(dir.File("Macro.dat")).find(EncodeMacroRecord(f.Record(0))),
              std::string::npos);
  }
}

}  // namespace
}  // namespace kr450::test
