#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "macro/capture_key_map.h"
#include "macro/macro_recorder.h"
#include "tests/macro/editor_test_support.h"

namespace kr450::test {
namespace {

using std::chrono::milliseconds;
constexpr KeyMessage DOWN = KeyMessage::KeyDown;
constexpr KeyMessage UP = KeyMessage::KeyUp;
constexpr KeyMessage SYS_DOWN = KeyMessage::SysKeyDown;
constexpr KeyMessage SYS_UP = KeyMessage::SysKeyUp;
constexpr uint32_t VK_LSHIFT = 0xA0;

struct Step {
  int64_t afterMs;  // time since the previous step
  KeyMessage message;
  uint32_t vk;
};

class RecorderFixture : public EditorFixture {
 public:
  explicit RecorderFixture(const std::vector<MacroRecord>& macros = {Macro(u"rec", Taps(3)),
                                                                     Macro(u"other", {})})
      : EditorFixture(macros, 0) {}

  void Play(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      clock.Advance(milliseconds(step.afterMs));
      capture.Feed({step.message, step.vk});
    }
  }

  std::vector<TimedEvent> Recorded(int macro = 0) const {
    const MacroRecord r = Record(macro);
    std::vector<TimedEvent> events;
    for (int j = 0; j < r.eventCount; ++j) {
      events.push_back({r.events[j].keyCode, r.events[j].action, r.Delay(j)});
    }
    return events;
  }

  FakeClock clock;
  FedKeyboardCapture capture;
  MacroRecorder recorder{table, editor, clock, capture};
};

// `count` taps of distinct keys, 10 ms apart.
std::vector<Step> TapSteps(int count, uint32_t firstVk = 0x30) {
  std::vector<Step> steps;
  for (int i = 0; i < count; ++i) {
    const uint32_t vk = firstVk + static_cast<uint32_t>(i % 40);
    steps.push_back({10, DOWN, vk});
    steps.push_back({10, UP, vk});
  }
  return steps;
}

std::vector<Step> Join(std::vector<Step> a, const std::vector<Step>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct RecordCase {
  const char* what;
  std::vector<Step> steps;
  std::vector<TimedEvent> expected;  // when empty: only the counts are checked
  int events;
  int presses;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
  *os << c.what;
}

class RecorderRules : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecorderRules, StoreTheStrokesTheyAllow) {
  const RecordCase& c = GetParam();
  RecorderFixture f;
  f.recorder.ToggleRecording();
  ASSERT_TRUE(f.recorder.recording());
  f.Play(c.steps);
  EXPECT_EQ(f.recorder.state().recordedEvents, c.events);
  EXPECT_EQ(f.editor.state().pressLineCount, c.presses);
  f.recorder.ToggleRecording();
  const std::vector<TimedEvent> got = f.Recorded();
  EXPECT_EQ(static_cast<int>(got.size()), c.events);
  if (!c.expected.empty()) {
    EXPECT_EQ(got, c.expected);
  }
}

// The last of 108 taps, then whatever the case adds.
std::vector<Step> After108Taps(const std::vector<Step>& more) {
  return Join(TapSteps(108), more);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecorderRules,
    ::testing::Values(
        RecordCase{"a held key repeats its key-down: one press, one release",
                   {{0, DOWN, VK_A},
                    {500, DOWN, VK_A},
                    {33, DOWN, VK_A},
                    {33, DOWN, VK_A},
                    {40, UP, VK_A}},
                   {{VK_A, ACTION_PRESS, 606}, {VK_A, ACTION_RELEASE, 30}},
                   2,
                   1},
        RecordCase{"a key down before the recording records nothing",
                   {{0, DOWN, VK_B}, {25, UP, VK_A}, {40, UP, VK_B}},
                   {{VK_B, ACTION_PRESS, 65}, {VK_B, ACTION_RELEASE, 30}},
                   2,
                   1},
        RecordCase{"Shift and A in stroke order, each with the time to the next",
                   {{0, DOWN, VK_LSHIFT}, {100, DOWN, VK_A}, {50, UP, VK_A}, {70, UP, VK_LSHIFT}},
                   {{0xA0, ACTION_PRESS, 100},
                    {VK_A, ACTION_PRESS, 50},
                    {VK_A, ACTION_RELEASE, 70},
                    {0xA0, ACTION_RELEASE, 30}},
                   4,
                   2},
        RecordCase{
            "one event keeps the delay 0", {{0, DOWN, VK_A}}, {{VK_A, ACTION_PRESS, 0}}, 1, 1},
        RecordCase{"Escape, Enter and F10 (a system key) are recorded like any key",
                   {{0, DOWN, 0x1B},
                    {5, UP, 0x1B},
                    {5, DOWN, 0x0D},
                    {5, UP, 0x0D},
                    {5, SYS_DOWN, 0x79},
                    {5, SYS_UP, 0x79}},
                   {{0x1B, ACTION_PRESS, 5},
                    {0x1B, ACTION_RELEASE, 5},
                    {0x0D, ACTION_PRESS, 5},
                    {0x0D, ACTION_RELEASE, 5},
                    {0x79, ACTION_PRESS, 5},
                    {0x79, ACTION_RELEASE, 30}},
                   6,
                   3},
        RecordCase{"a pause over 65.535 s is stored as 65535 ms",
                   {{0, DOWN, VK_A}, {70000, UP, VK_A}},
                   {{VK_A, ACTION_PRESS, 65535}, {VK_A, ACTION_RELEASE, 30}},
                   2,
                   1},
        // The clock is monotonic: a day boundary is no different from any other moment, and a
        // pause of a day and 10 ms is not taken for 10 ms.
        RecordCase{"midnight passes between two keys",
                   {{86399990, DOWN, VK_A}, {20, UP, VK_A}, {86400010, DOWN, VK_B}, {10, UP, VK_B}},
                   {{VK_A, ACTION_PRESS, 20},
                    {VK_A, ACTION_RELEASE, 65535},
                    {VK_B, ACTION_PRESS, 10},
                    {VK_B, ACTION_RELEASE, 30}},
                   4,
                   2},
        RecordCase{"the tenth key held at once is refused, with its release",
                   Join(Join(std::vector<Step>{{0, DOWN, 0x30},
                                               {0, DOWN, 0x31},
                                               {0, DOWN, 0x32},
                                               {0, DOWN, 0x33},
                                               {0, DOWN, 0x34},
                                               {0, DOWN, 0x35},
                                               {0, DOWN, 0x36},
                                               {0, DOWN, 0x37},
                                               {0, DOWN, 0x38}},
                             {{0, DOWN, 0x39}, {0, UP, 0x39}}),
                        {{0, UP, 0x30}, {0, DOWN, 0x39}, {0, UP, 0x39}}),
                   {},
                   12,
                   10},
        RecordCase{"108 taps fill a recording: 216 events, nothing after",
                   After108Taps({{10, DOWN, VK_A}, {10, UP, VK_A}}),
                   {},
                   216,
                   108},
        RecordCase{"the 109th press and its release are dropped, the held key's release kept",
                   Join(TapSteps(107),
                        {{10, DOWN, VK_A}, {10, DOWN, VK_B}, {10, UP, VK_B}, {10, UP, VK_A}}),
                   {},
                   216,
                   108}));

TEST(Recorder, KeepsTheNameAndClearsTheMacroForTheRecording) {
  MacroRecord old = Macro(u"rec", Taps(3));
  old.repeatEnabled = 1;
  old.SetRepeatCount(5);
  RecorderFixture f({old});
  f.recorder.ToggleRecording();
  EXPECT_EQ(f.capture.starts, 1);
  EXPECT_TRUE(f.capture.Active());
  EXPECT_TRUE(f.controls.eventLines.empty());
  EXPECT_EQ(f.controls.repeatText, "1");
  EXPECT_FALSE(f.controls.repeatEnabled);
  EXPECT_EQ(f.controls.focus, PlainEditorControls::Focus::EventList);
  MacroRecord during = f.Record(0);
  EXPECT_EQ(MacroNameUtf8(during), "rec");
  EXPECT_EQ(during.repeatEnabled, 0);
  EXPECT_EQ(during.RepeatCount(), 1);
  EXPECT_EQ(during.eventCount, 0);

  // Each event shows at once, the last line selected; the count is stored at the stop.
  f.Play({{0, DOWN, VK_A}, {40, UP, VK_A}, {15, DOWN, VK_B}});
  EXPECT_EQ(f.controls.EventTexts(),
            (std::vector<std::string>{"[↓]A", "    40ms", "[↑]A", "    15ms", "[↓]B"}));
  EXPECT_EQ(f.controls.selectedEventLine, 4);
  EXPECT_EQ(f.Record(0).eventCount, 0);
  f.recorder.ToggleRecording();
  EXPECT_FALSE(f.recorder.recording());
  EXPECT_EQ(f.capture.stops, 1);
  EXPECT_FALSE(f.capture.Active());
  EXPECT_EQ(f.Record(0).eventCount, 3);
  EXPECT_FALSE(f.recorder.OnKeyStroke({DOWN, VK_A}));
}

TEST(Recorder, RecordsIntoTheSelectedMacroAndNeedsOne) {
  RecorderFixture f;
  f.controls.SelectMacroLine(1);
  f.editor.ShowSelectedMacro();
  f.recorder.ToggleRecording();
  f.Play({{0, DOWN, VK_A}, {10, UP, VK_A}});
  f.recorder.ToggleRecording();
  EXPECT_EQ(f.Record(1).eventCount, 2);
  EXPECT_EQ(f.Record(0).eventCount, 6);

  RecorderFixture empty(std::vector<MacroRecord>{});
  empty.recorder.ToggleRecording();
  EXPECT_FALSE(empty.recorder.recording());
  EXPECT_EQ(empty.capture.starts, 0);
}

TEST(Recorder, StopsEvenWhenTheListEmptiedAndOnEveryWayOut) {
  RecorderFixture f;
  f.recorder.ToggleRecording();
  f.Play({{0, DOWN, VK_A}});
  // An import of a file without macros while recording: the keyboard must still come back.
  f.table.Edit([](MacroTableData& d) { d.macroCount = 0; });
  f.editor.RefreshMacroList();
  f.recorder.ToggleRecording();
  EXPECT_FALSE(f.recorder.recording());
  EXPECT_FALSE(f.capture.Active());

  RecorderFixture g;
  g.recorder.ToggleRecording();
  g.recorder.StopRecording();
  EXPECT_FALSE(g.capture.Active());
  g.recorder.StopRecording();
  EXPECT_EQ(g.capture.stops, 1);
}

TEST(Recorder, WithoutAGlobalCaptureTakesTheWindowsKeys) {
  RecorderFixture f;
  f.capture.available = false;
  f.recorder.ToggleRecording();
  EXPECT_TRUE(f.recorder.recording());
  EXPECT_FALSE(f.capture.Active());
  EXPECT_TRUE(f.recorder.OnKeyStroke({DOWN, VK_A}));
  f.clock.Advance(milliseconds(12));
  EXPECT_TRUE(f.recorder.OnKeyStroke({UP, VK_A}));
  f.recorder.ToggleRecording();
  EXPECT_EQ(f.Recorded(),
            (std::vector<TimedEvent>{{VK_A, ACTION_PRESS, 12}, {VK_A, ACTION_RELEASE, 30}}));
}

TEST(Recorder, TheFirstStrokeIsNoRepeatOfTheLastRecording) {
  RecorderFixture f;
  f.recorder.ToggleRecording();
  f.Play({{0, DOWN, VK_A}});
  f.recorder.ToggleRecording();  // A still held when the mouse stops the recording
  f.recorder.ToggleRecording();
  f.Play({{10, DOWN, VK_A}});
  EXPECT_EQ(f.recorder.state().recordedEvents, 1);
}

TEST(Recorder, CommandsAndMacroButtonsWaitForTheRecording) {
  RecorderFixture f;
  f.recorder.ToggleRecording();
  f.Play({{0, DOWN, VK_A}, {5, UP, VK_A}});
  f.controls.nameText = "new";
  f.editor.AddMacro();
  f.editor.DeleteMacro();
  EXPECT_EQ(f.table.Count(), 2);
  // A click on another macro keeps the recorded one selected.
  f.controls.SelectMacroLine(1);
  f.editor.ShowSelectedMacro();
  EXPECT_EQ(f.controls.selectedMacroLine, 0);
  EXPECT_EQ(f.controls.EventLineCount(), 3);
}

TEST(KeyMessages, SystemKeysAsAWindowsHookSeesThem) {
  struct Case {
    const char* what;
    std::vector<std::pair<uint8_t, bool>> strokes;
    std::vector<KeyMessage> expected;
  };
  const Case cases[] = {
      {"Alt and Tab",
       {{0xA4, true}, {0x09, true}, {0x09, false}, {0xA4, false}},
       {SYS_DOWN, SYS_DOWN, SYS_UP, UP}},
      {"F10 alone", {{0x79, true}, {0x79, false}}, {SYS_DOWN, SYS_UP}},
      {"Control, right Alt and Delete",
       {{0xA2, true}, {0xA5, true}, {0x2E, true}, {0x2E, false}, {0xA5, false}, {0xA2, false}},
       {DOWN, DOWN, DOWN, UP, UP, UP}},
      {"Shift and A",
       {{0xA0, true}, {0x41, true}, {0x41, false}, {0xA0, false}},
       {DOWN, DOWN, UP, UP}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KeyMessageClassifier classifier;
    std::vector<KeyMessage> got;
    for (auto [vk, down] : c.strokes) got.push_back(classifier.Classify(vk, down));
    EXPECT_EQ(got, c.expected);
  }
}

TEST(KeyMessages, LinuxKeysGiveTheCodesOfAWindowsKeyboard) {
  struct Case {
    uint16_t linuxKey;
    uint8_t vk;
  };
  // KEY_LEFTSHIFT 42, KEY_RIGHTSHIFT 54, KEY_LEFTCTRL 29, KEY_RIGHTCTRL 97, KEY_LEFTALT 56,
  // KEY_RIGHTALT 100, KEY_A 30, KEY_F10 68, KEY_KPENTER 96, KEY_KP7 71, KEY_ESC 1.
  const Case cases[] = {{42, 0xA0},  {54, 0xA1}, {29, 0xA2}, {97, 0xA3}, {56, 0xA4},
                        {100, 0xA5}, {30, 0x41}, {68, 0x79}, {96, 0x0D}, {71, 0x67},
                        {1, 0x1B},   {0, 0},     {999, 0},   {4000, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.linuxKey);
    EXPECT_EQ(VirtualKeyForLinuxKey(c.linuxKey), c.vk);
  }
  EXPECT_EQ(KeypadWithoutNumLock(0x67), 0x24);  // keypad 7: Home
  EXPECT_EQ(KeypadWithoutNumLock(0x6E), 0x2E);  // keypad point: Delete
  EXPECT_EQ(KeypadWithoutNumLock(0x41), 0x41);
  EXPECT_EQ(VirtualKeyForCharacter(U'q'), 0x51);
  EXPECT_EQ(VirtualKeyForCharacter(U'7'), 0x37);
  EXPECT_EQ(VirtualKeyForCharacter(U'&'), 0);
}

}  // namespace
}  // namespace kr450::test
