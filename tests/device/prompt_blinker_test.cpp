#include "device/prompt_blinker.h"

#include <gtest/gtest.h>

#include "device_test_support.h"

namespace kr450 {
namespace {

using namespace std::chrono_literals;
using test::Eventually;
using test::GateClock;

// A window that confirms the prompt (or leaves the main page) after a number of repaints.
class ScriptedWindow final : public WindowLink {
 public:
  ScriptedWindow(DriverState& state, int after, bool leavePage)
      : state_(state), after_(after), leavePage_(leavePage) {}
  void RequestRepaint() override {
    blinks.push_back(state_.promptBlink.load());
    if (static_cast<int>(blinks.size()) == after_) {
      (leavePage_ ? state_.mainPageShown.store(false) : state_.driverRunning.store(true));
    }
  }
  void RequestShutdown() override {}
  std::vector<bool> blinks;

 private:
  DriverState& state_;
  int after_;
  bool leavePage_;
};

TEST(PromptBlink, EndsAtOnceUnlessThePromptWaitsOnTheMainPage) {
  for (auto [running, mainPage] : {std::pair{true, true}, {false, false}}) {
    DriverState state;
    FakeStoppableClock clock;
    test::CountingWindow window;
    state.driverRunning = running;
    state.mainPageShown = mainPage;
    std::atomic<bool> stop{false};
    RunPromptBlink(state, window, clock, stop);
    EXPECT_TRUE(clock.Pauses().empty());
    EXPECT_EQ(window.repaints, 0);
    EXPECT_TRUE(state.promptBlink);
  }
}

TEST(PromptBlink, BlinksInRoundsOfSixUntilTheClickOrThePageChanges) {
  const struct {
    const char* what;
    int after;
    bool leavePage;
    size_t blinks;
  } cases[] = {{"confirmed in the second round", 8, false, 12},
               {"page left in the first round", 2, true, 6},
               {"confirmed on the last blink of a round", 6, false, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DriverState state;
    FakeStoppableClock clock;
    ScriptedWindow window(state, c.after, c.leavePage);
    state.driverRunning = false;
    state.promptBlink = true;
    std::atomic<bool> stop{false};
    RunPromptBlink(state, window, clock, stop);
    ASSERT_EQ(window.blinks.size(), c.blinks);
    for (size_t i = 0; i < c.blinks; ++i) EXPECT_EQ(window.blinks[i], i % 2 == 1) << i;
    EXPECT_EQ(clock.Pauses(), std::vector<Clock::Duration>(c.blinks, 500ms));
    EXPECT_TRUE(state.promptBlink);
  }
}

TEST(PromptBlinker, AtMostOneWorkerRuns) {
  DriverState state;
  GateClock clock;
  test::CountingWindow window;
  state.driverRunning = false;
  PromptBlinker blinker(state, window, clock);
  blinker.Start();
  ASSERT_TRUE(Eventually([&] { return clock.Sleepers() == 1; }));
  EXPECT_TRUE(state.promptBlinkRunning);
  blinker.Start();
  blinker.Start();
  std::this_thread::sleep_for(5ms);
  EXPECT_EQ(clock.Sleepers(), 1);

  state.driverRunning = true;  // the click: the worker ends after its round
  clock.Release();
  ASSERT_TRUE(Eventually([&] { return !state.promptBlinkRunning.load(); }));
  blinker.Stop();
}

// The window thread stops the worker; it must not wait out the worker's 500 ms sleep.
TEST(PromptBlinker, StopReturnsAtOnceWhileTheWorkerSleeps) {
  DriverState state;
  WakeableClock clock;
  test::CountingWindow window;
  state.driverRunning = false;
  PromptBlinker blinker(state, window, clock);
  blinker.Start();
  ASSERT_TRUE(Eventually([&] { return window.repaints.load() == 1; }));  // now asleep
  const auto before = std::chrono::steady_clock::now();
  blinker.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 50ms);
  EXPECT_FALSE(state.promptBlinkRunning);

  // The stop is the worker's own: another sleeper on the same clock sleeps on.
  const std::atomic<bool> otherStop{false};
  const auto start = std::chrono::steady_clock::now();
  clock.SleepUntil(clock.Now() + 20ms, otherStop);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

}  // namespace
}  // namespace kr450
