#include <gtest/gtest.h>

#include <cmath>

#include "executor_fixture.h"

namespace kr450 {
namespace {

using Lines = std::vector<std::string>;

MacroRecord Macro(std::vector<std::tuple<uint8_t, uint8_t, uint16_t>> events, int repeat = -1) {
  MacroRecord record = NewMacro(u"test");
  record.eventCount = static_cast<uint8_t>(events.size());
  for (size_t j = 0; j < events.size(); ++j) {
    auto [key, action, delay] = events[j];
    record.events[j] = {key, action};
    record.SetDelay(static_cast<int>(j), delay);
  }
  if (repeat >= 0) {
    record.repeatEnabled = 1;
    record.SetRepeatCount(static_cast<uint16_t>(repeat));
  }
  return record;
}

constexpr uint8_t P = ACTION_PRESS;
constexpr uint8_t R = ACTION_RELEASE;

TEST_F(ExecutorTest, MacroModeZeroPlaysTheRepeatCount) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 43, 41})));  // K6 macro 0, K5 macro 2
  AddMacro(Macro({{0x41, P, 10}, {0x41, R, 10}}, 3));
  AddMacro(Macro({{0x42, P, 10}}, 0));            // repeat on with count 0: plays nothing
  AddMacro(Macro({{0x43, P, 5}, {0x43, R, 5}}));  // repeat off: once
  PressAndPerform(6);
  EXPECT_EQ(TimedLines(),
            (Lines{"key down vk=0x41 scan=0x1E ext=0 @0", "key up vk=0x41 scan=0x1E ext=0 @10",
                   "key down vk=0x41 scan=0x1E ext=0 @20", "key up vk=0x41 scan=0x1E ext=0 @30",
                   "key down vk=0x41 scan=0x1E ext=0 @40", "key up vk=0x41 scan=0x1E ext=0 @50"}));
  input_.Clear();
  EXPECT_EQ(executor_->PlayMacro(1), PlaybackEnd::Completed);
  EXPECT_TRUE(input_.Calls().empty());
  PressAndPerform(4);
  EXPECT_EQ(input_.Lines(),
            (Lines{"key down vk=0x43 scan=0x2E ext=0", "key up vk=0x43 scan=0x2E ext=0"}));
}

TEST_F(ExecutorTest, MacroEventsCarryScanCodesExtendedFlagsAndMouseButtons) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  AddMacro(Macro({{0x25, P, 1},
                  {0x25, R, 1},
                  {0x41, P, 1},
                  {0x41, R, 1},
                  {240, P, 1},
                  {240, R, 1},
                  {241, P, 1},
                  {241, R, 1},
                  {245, P, 1},
                  {242, R, 1},
                  {0x41, 0, 1},
                  {0x41, 7, 1}}));
  PressAndPerform(6);
  EXPECT_EQ(input_.Lines(),
            (Lines{"key down vk=0x25 scan=0x4B ext=1", "key up vk=0x25 scan=0x4B ext=1",
                   "key down vk=0x41 scan=0x1E ext=0", "key up vk=0x41 scan=0x1E ext=0",
                   "button left down", "button left up", "button right down", "button right up",
                   "button middle down", "button middle up"}));
  // The two events with other actions send nothing but still wait their delay.
  EXPECT_EQ(ScriptedClock::MsOf(clock_.Now()), 12);
}

TEST_F(ExecutorTest, MacroModeOneRepeatsUntilReleaseAfterTheRunningDelay) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41}, /*macroMode=*/1)));
  AddMacro(Macro({{0x41, P, 30}, {0x41, R, 50}}));
  clock_.At(90, [&] { Report(6, 246); });  // another press while held: no effect
  clock_.At(100, [&] { Report(6, 0); });   // the release, during the delay that ends at 110
  PressAndPerform(6);
  EXPECT_EQ(TimedLines(),
            (Lines{"key down vk=0x41 scan=0x1E ext=0 @0", "key up vk=0x41 scan=0x1E ext=0 @30",
                   "key down vk=0x41 scan=0x1E ext=0 @80",
                   // the key the macro held is released as it stops
                   "key up vk=0x41 scan=0x1E ext=0 @110"}));
  EXPECT_EQ(state_.stopRequested.load(), 0);  // cleared as the executor goes idle
  EXPECT_EQ(state_.pressPending.load(), 0);
}

TEST_F(ExecutorTest, MacroModeZeroStopsOnASecondPressAndReleasesWhatItHolds) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  // Shift and the left button held while B repeats.
  AddMacro(Macro(
      {{0x10, P, 5}, {240, P, 5}, {0x42, P, 10}, {0x42, R, 10}, {240, R, 5}, {0x10, R, 5}}, 100));
  clock_.At(22, [&] { Report(6, 0); });    // a release does nothing in mode 0
  clock_.At(25, [&] { Report(6, 246); });  // a second press stops, after the delay ending at 30
  PressAndPerform(6);
  EXPECT_EQ(TimedLines(),
            (Lines{"key down vk=0x10 scan=0x2A ext=0 @0", "button left down @5",
                   "key down vk=0x42 scan=0x30 ext=0 @10", "key up vk=0x42 scan=0x30 ext=0 @20",
                   "button left up @30", "key up vk=0x10 scan=0x2A ext=0 @30"}));
}

// A key left down repeats without end on Linux, so a macro that completes lets go of what it
// still holds, last pressed first, after its last delay.
TEST_F(ExecutorTest, ACompletedMacroReleasesWhatItLeftDown) {
  struct Case {
    const char* name;
    MacroRecord macro;
    Lines expected;
  };
  const Case cases[] = {
      {"one key down",
       Macro({{0x41, P, 10}}),
       {"key down vk=0x41 scan=0x1E ext=0 @0", "key up vk=0x41 scan=0x1E ext=0 @10"}},
      {"keys and a button, one of them released",
       Macro({{0x10, P, 5}, {0x25, P, 5}, {240, P, 5}, {0x25, R, 5}}),
       {"key down vk=0x10 scan=0x2A ext=0 @0", "key down vk=0x25 scan=0x4B ext=1 @5",
        "button left down @10", "key up vk=0x25 scan=0x4B ext=1 @15", "button left up @20",
        "key up vk=0x10 scan=0x2A ext=0 @20"}},
      {"repeated passes press again; one release each at the end",
       Macro({{0x42, P, 5}, {245, P, 5}}, 2),
       {"key down vk=0x42 scan=0x30 ext=0 @0", "button middle down @5",
        "key down vk=0x42 scan=0x30 ext=0 @10", "button middle down @15", "button middle up @20",
        "key up vk=0x42 scan=0x30 ext=0 @20"}},
      {"a balanced macro sends nothing more",
       Macro({{0x41, P, 5}, {0x41, R, 5}}),
       {"key down vk=0x41 scan=0x1E ext=0 @0", "key up vk=0x41 scan=0x1E ext=0 @5"}},
  };
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    macros_.Edit([&](MacroTableData& data) {
      data.records[0] = c.macro;
      data.macroCount = 1;
    });
    input_.Clear();
    double start = ScriptedClock::MsOf(clock_.Now());
    EXPECT_EQ(executor_->PlayMacro(0), PlaybackEnd::Completed);
    Lines lines;
    for (const InputCall& call : input_.Calls()) {
      lines.push_back(FormatInputCall(call) + " @" +
                      std::to_string(static_cast<int>(ScriptedClock::MsOf(call.at) - start)));
    }
    EXPECT_EQ(lines, c.expected);
  }
}

// Lateness below the rescheduling bound is made up: over 10 000 events nothing drifts, each
// event goes out at its place in the schedule plus one wake-up's lateness.
TEST_F(ExecutorTest, MacroDeadlinesAreAbsoluteSoLatenessDoesNotAddUp) {
  struct Case {
    uint16_t delayMs;
    double latenessMs;
  };
  const Case cases[] = {{1, 0.7}, {30, 19.0}};
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.latenessMs);
    std::vector<std::tuple<uint8_t, uint8_t, uint16_t>> events;
    for (int i = 0; i < 100; ++i) events.emplace_back(0x41, i % 2 == 0 ? P : R, c.delayMs);
    macros_.Edit([&](MacroTableData& data) {
      data.records[0] = Macro(events, 100);
      data.macroCount = 1;
    });
    input_.Clear();
    clock_.SetLateness(
        std::chrono::duration_cast<Clock::Duration>(ScriptedClock::Ms(c.latenessMs)));
    const double start = ScriptedClock::MsOf(clock_.Now());
    EXPECT_EQ(executor_->PlayMacro(0), PlaybackEnd::Completed);
    std::vector<InputCall> calls = input_.Calls();
    ASSERT_EQ(calls.size(), 10000u);
    double worst = 0;
    for (size_t k = 1; k < calls.size(); ++k) {
      double expected = start + static_cast<double>(k * c.delayMs) + c.latenessMs;
      worst = std::max(worst, std::abs(ScriptedClock::MsOf(calls[k].at) - expected));
    }
    EXPECT_LT(worst, 1e-6);
  }
}

// Forwards to another backend; one key event, counted from 0, blocks for a while after it
// went out, as a stalled display server or a full uinput queue would.
class BlockingInput final : public InputSynth {
 public:
  BlockingInput(InputSynth& inner, ScriptedClock& clock, int blockingEvent, Clock::Duration block)
      : inner_(inner), clock_(clock), blockingEvent_(blockingEvent), block_(block) {}

  bool KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override {
    bool sent = inner_.KeyEvent(vk, scan, flags);
    if (keyEvents_++ == blockingEvent_) clock_.Advance(block_);
    return sent;
  }
  bool MouseButtonEvent(MouseButton button, bool down) override {
    return inner_.MouseButtonEvent(button, down);
  }
  bool LockSession() override { return inner_.LockSession(); }
  bool OpenComputer() override { return inner_.OpenComputer(); }
  bool StartProgram(Program program) override { return inner_.StartProgram(program); }
  std::optional<int> GetPointerSpeed() override { return inner_.GetPointerSpeed(); }
  bool SetPointerSpeed(int speed) override { return inner_.SetPointerSpeed(speed); }

 private:
  InputSynth& inner_;
  ScriptedClock& clock_;
  int blockingEvent_;
  Clock::Duration block_;
  int keyEvents_ = 0;
};

// After a long stall the events still to come keep their gaps (30 ms and 50 ms here) from the
// first one sent after it, instead of going out at once to catch up with the old schedule.
TEST_F(ExecutorTest, AfterAStallTheRestOfTheMacroKeepsItsGaps) {
  using std::chrono::milliseconds;
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  AddMacro(Macro({{0x41, P, 30}, {0x41, R, 50}}, 3));
  const std::string down = "key down vk=0x41 scan=0x1E ext=0 @";
  const std::string up = "key up vk=0x41 scan=0x1E ext=0 @";
  {
    SCOPED_TRACE("the process stopped for 600 ms during the delay from 80 to 110");
    clock_.At(100, [&] { clock_.Advance(milliseconds(600)); });
    EXPECT_EQ(executor_->PlayMacro(0), PlaybackEnd::Completed);
    EXPECT_EQ(TimedLines(),
              (Lines{down + "0", up + "30", down + "80", up + "710", down + "760", up + "790"}));
  }
  {
    SCOPED_TRACE("the third event's send blocked for 500 ms");
    input_.Clear();
    const auto start = clock_.Now();
    BlockingInput blocking(input_, clock_, 2, milliseconds(500));
    ActionExecutor executor(state_, macros_, *link_, blocking, window_, clock_);
    EXPECT_EQ(executor.PlayMacro(0), PlaybackEnd::Completed);
    Lines lines;
    for (const InputCall& call : input_.Calls()) {
      lines.push_back(
          FormatInputCall(call) + " @" +
          std::to_string(std::lround(ScriptedClock::MsOf(call.at) - ScriptedClock::MsOf(start))));
    }
    EXPECT_EQ(lines,
              (Lines{down + "0", up + "30", down + "80", up + "610", down + "660", up + "690"}));
  }
}

TEST_F(ExecutorTest, AMacroPlaysTheRecordAsItWasWhenItStarted) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  AddMacro(Macro({{0x41, P, 10}, {0x41, R, 10}, {0x42, P, 10}, {0x42, R, 10}}));
  clock_.At(15, [&] {
    macros_.Edit([](MacroTableData& data) {
      data.records[0] = MacroTable::BlankMacro();
      data.macroCount = 0;
    });
  });
  PressAndPerform(6);
  EXPECT_EQ(input_.Calls().size(), 4u);
}

TEST_F(ExecutorTest, ShutdownEndsAPlaybackAfterTheRunningDelay) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 41})));
  AddMacro(Macro({{0x12, P, 10}, {0x09, P, 1000}, {0x09, R, 10}, {0x12, R, 10}}));
  clock_.At(15, [&] { state_.shutdownRequested.store(true); });
  EXPECT_EQ(executor_->PlayMacro(0), PlaybackEnd::Shutdown);
  EXPECT_EQ(
      TimedLines(),
      (Lines{"key down vk=0x12 scan=0x38 ext=0 @0", "key down vk=0x09 scan=0x0F ext=0 @10",
             "key up vk=0x09 scan=0x0F ext=0 @1010", "key up vk=0x12 scan=0x38 ext=0 @1010"}));
}

// The worker thread: woken by the reader's notification, not by polling, and ended by Stop()
// even in the middle of a long delay when the clock is woken for shutdown.
TEST_F(ExecutorTest, TheWorkerWakesOnlyForPressesAndStopsPromptly) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 41, 31})));
  AddMacro(Macro({{0x41, P, 60000}, {0x41, R, 10}}));
  WakeableClock realClock;
  RecordingInput input;
  ActionExecutor worker(state_, macros_, *link_, input, window_, realClock);
  worker.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(worker.Wakeups(), 0u);  // idle: no wake-up at all

  Report(6, 246);  // Copy
  while (state_.pressPending.load() != 0) state_.pressPending.wait(1);
  EXPECT_EQ(input.Lines().size(), 4u);
  EXPECT_EQ(worker.Wakeups(), 1u);

  Report(6, 244);  // the macro, which holds A for a minute
  while (input.Lines().size() < 5) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  auto began = std::chrono::steady_clock::now();
  state_.shutdownRequested.store(true);
  realClock.WakeAll();
  worker.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(1));
  EXPECT_EQ(input.Lines().back(), "key up vk=0x41 scan=0x1E ext=0");
}

TEST_F(ExecutorTest, CloseKeyUpsReleaseAltSixTimes) {
  StartWith(Section(1, Buttons({1, 2, 3, 5, 4, 6})));
  SendCloseKeyUps(input_);
  EXPECT_EQ(input_.Lines(), Lines(6, "key up vk=0x12 scan=0x00 ext=0"));
}

}  // namespace
}  // namespace kr450
