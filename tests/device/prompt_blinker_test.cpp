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
      (leavePage_ ? state_.currentPage.store(1) : state_.driverRunning.store(true));
    }
  }
  void RequestShutdown() override {}
  std::vector<bool> blinks;

 private:
  DriverState& state_;
  int after_;
  bool leavePage_;
};

TEST(StatusLine, ShowsRunningOrThePromptWithTheButtonWhileItBlinksOn) {
  DriverState state;
  EXPECT_EQ(StatusLineText(state), "驱动运行中...");
  state.driverRunning = false;
  state.promptButton = 6;
  state.promptBlink = true;
  EXPECT_EQ(StatusLineText(state), "配置完成，请点击鼠标第[6]键运行驱动");
  state.promptBlink = false;
  EXPECT_EQ(StatusLineText(state), "配置完成，请点击鼠标第[ ]键运行驱动");
}

TEST(PromptBlink, EndsAtOnceUnlessThePromptWaitsOnTheMainPage) {
  for (auto [running, page] : {std::pair{true, 0}, {false, 1}}) {
    DriverState state;
    FakeClock clock;
    test::CountingWindow window;
    state.driverRunning = running;
    state.currentPage = page;
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
    FakeClock clock;
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

}  // namespace
}  // namespace kr450
