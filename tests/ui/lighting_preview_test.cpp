// The lighting preview worker: its phases by lighting mode and stage on a scripted clock, its
// end when the page is left or it is stopped, and one worker at a time.
#include "ui/lighting_preview.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <vector>

#include "tests/support/counting_window.h"
#include "ui/pages.h"

namespace kr450 {
namespace {

using namespace std::chrono_literals;
using test::CountingWindow;

// What the preview showed during one sleep, and how long the sleep was.
struct Phase {
  bool off;
  int stage;
  std::chrono::milliseconds pause;
  friend bool operator==(const Phase&, const Phase&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Phase& p) {
    return out << (p.off ? "gray" : "stage ") << (p.off ? "" : std::to_string(p.stage)) << " "
               << p.pause.count() << " ms";
  }
};

// Time that passes at once; before each sleep it notes the preview, then runs the script for
// that sleep (which may change the page, the mode or the stage).
class ScriptedClock final : public StoppableClock {
 public:
  using StoppableClock::SleepUntil;
  ScriptedClock(const PreviewState& preview, std::function<void(size_t)> script)
      : preview_(preview), script_(std::move(script)) {}
  TimePoint Now() override { return now_; }
  void SleepUntil(TimePoint deadline) override { Sleep(deadline); }
  void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) override {
    if (!stop.load()) Sleep(deadline);
  }
  void Wake() override {}
  void WakeAll() override {}
  std::vector<Phase> phases;

 private:
  void Sleep(TimePoint deadline) {
    phases.push_back({preview_.off.load(), preview_.stage.load(),
                      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now_)});
    now_ = deadline;
    script_(phases.size());
  }
  const PreviewState& preview_;
  std::function<void(size_t)> script_;
  TimePoint now_{};
};

class LightingPreviewSteps : public ::testing::Test {
 protected:
  void SetMode(uint8_t mode, int level) {
    state.WithConfig([&](ConfigState& s) {
      s.appliedLedStatus = mode;
      s.config.dpiLevel = level;
      // The edited lighting mode is not the one the preview follows.
      s.config.ledStatus = static_cast<uint8_t>(3 - mode);
    });
  }
  void SetLevel(int level) {
    state.WithConfig([&](ConfigState& s) { s.config.dpiLevel = level; });
  }
  // Runs the worker on this thread; it leaves the page after `phases` sleeps unless the
  // script ends it first.
  std::vector<Phase> Run(
      size_t phases, std::function<void(size_t)> script = [](size_t) {}) {
    ScriptedClock clock(preview, [&](size_t n) {
      script(n);
      if (n >= phases) page.store(PAGE_MAIN);
    });
    RunLightingPreview(state, page, preview, window, clock, stop);
    return clock.phases;
  }

  DriverState state;
  std::atomic<int> page{PAGE_LIGHTING};
  PreviewState preview;
  CountingWindow window;
  std::atomic<bool> stop{false};
};

TEST_F(LightingPreviewSteps, BlinkingModesAlternateStageColourAndGrayMovingToTheNextStage) {
  struct Case {
    uint8_t mode;
    std::chrono::milliseconds phase;
  };
  for (const Case c : {Case{0, 1200ms}, Case{1, 800ms}}) {
    SCOPED_TRACE(int{c.mode});
    preview.off.store(false);
    page.store(PAGE_LIGHTING);
    SetMode(c.mode, 2);
    const std::vector<Phase> phases = Run(7);
    const std::vector<Phase> expected = {
        {true, 3, c.phase}, {false, 3, c.phase}, {true, 0, c.phase}, {false, 0, c.phase},
        {true, 1, c.phase}, {false, 1, c.phase}, {true, 2, c.phase},
    };
    EXPECT_EQ(phases, expected);
    EXPECT_EQ(window.repaints.exchange(0), 7);
  }
}

TEST_F(LightingPreviewSteps, SteadyShowsTheStageAndDarkShowsGray) {
  SetMode(2, 1);
  preview.off.store(true);
  EXPECT_EQ(Run(3), (std::vector<Phase>(3, {false, 1, 1200ms})));
  page.store(PAGE_LIGHTING);
  SetMode(3, 3);
  EXPECT_EQ(Run(2), (std::vector<Phase>(2, {true, 3, 1200ms})));
}

TEST_F(LightingPreviewSteps, AStageChangeShowsTheNewStageForTwoSecondsPlusAPhase) {
  SetMode(0, 0);
  const std::vector<Phase> phases = Run(5, [&](size_t n) {
    if (n == 1) SetLevel(3);
  });
  const std::vector<Phase> expected = {
      {true, 1, 1200ms},   // gray, then stage 2 next
      {false, 3, 2000ms},  // the new stage at once, held
      {false, 3, 1200ms},  // and one more phase
      {true, 0, 1200ms},  {false, 0, 1200ms},
  };
  EXPECT_EQ(phases, expected);
  // The hold asks for its own repaint before it sleeps.
  EXPECT_EQ(window.repaints.load(), 5);
}

TEST_F(LightingPreviewSteps, TheModeIsTheOneLastAppliedAndIsReadEveryPhase) {
  SetMode(2, 0);
  const std::vector<Phase> phases = Run(3, [&](size_t n) {
    if (n == 1) state.WithConfig([](ConfigState& s) { s.appliedLedStatus = 3; });
    if (n == 2) state.WithConfig([](ConfigState& s) { s.appliedLedStatus = 1; });
  });
  const std::vector<Phase> expected = {{false, 0, 1200ms}, {true, 0, 1200ms}, {false, 0, 800ms}};
  EXPECT_EQ(phases, expected);
}

TEST_F(LightingPreviewSteps, OffThePageItOnlyTakesTheStage) {
  page.store(PAGE_ADVANCED);
  SetMode(0, 2);
  EXPECT_TRUE(Run(0).empty());
  EXPECT_EQ(preview.stage.load(), 2);
  EXPECT_EQ(window.repaints.load(), 0);
}

TEST_F(LightingPreviewSteps, EndsAfterThePhaseInWhichThePageWasLeftOrAStopCame) {
  SetMode(0, 0);
  EXPECT_EQ(Run(1).size(), 1u);
  page.store(PAGE_LIGHTING);
  EXPECT_EQ(Run(100,
                [&](size_t n) {
                  if (n == 2) stop.store(true);
                })
                .size(),
            2u);
  stop.store(false);
  EXPECT_EQ(Run(100,
                [&](size_t n) {
                  if (n == 3) state.shutdownRequested.store(true);
                })
                .size(),
            3u);
}

TEST_F(LightingPreviewSteps, AStageOutsideTheFourWrapsToTheFirst) {
  SetMode(0, 0);
  preview.off.store(false);
  // A stage the worker never writes itself.
  const std::vector<Phase> phases = Run(3, [&](size_t n) {
    if (n == 1) preview.stage.store(7);
  });
  EXPECT_EQ(phases.back(), (Phase{true, 0, 1200ms}));
}

// A clock whose sleeps last until the test lets one end, or until a stop wakes them; it counts
// the sleepers, so that a second worker would be seen.
class GateClock final : public StoppableClock {
 public:
  using StoppableClock::SleepUntil;
  TimePoint Now() override { return {}; }
  void SleepUntil(TimePoint) override { ADD_FAILURE() << "a sleep that a stop cannot cut"; }
  void SleepUntil(TimePoint, const std::atomic<bool>& stop) override {
    std::unique_lock lock(mutex_);
    ++sleepers_;
    maxSleepers_ = std::max(maxSleepers_, sleepers_);
    ++sleeps_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_ > 0 || stop.load(); });
    if (released_ > 0 && !stop.load()) --released_;
    --sleepers_;
  }
  void Wake() override {
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
  }
  void WakeAll() override {}

  // Lets one sleep end and waits until the worker sleeps again or has ended.
  void ReleaseOne(const LightingPreview& preview) {
    std::unique_lock lock(mutex_);
    const int before = sleeps_;
    ++released_;
    changed_.notify_all();
    lock.unlock();
    for (int i = 0; i < 2000 && preview.Running(); ++i) {
      lock.lock();
      const bool slept = sleeps_ > before;
      lock.unlock();
      if (slept) return;
      std::this_thread::sleep_for(1ms);
    }
  }
  void AwaitSleeps(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 5s, [&] { return sleeps_ >= n; });
  }
  int Sleeps() {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }
  int MaxSleepers() {
    std::lock_guard lock(mutex_);
    return maxSleepers_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int sleepers_ = 0;
  int maxSleepers_ = 0;
  int sleeps_ = 0;
  int released_ = 0;
};

bool AwaitEnd(const LightingPreview& preview) {
  for (int i = 0; i < 5000 && preview.Running(); ++i) std::this_thread::sleep_for(1ms);
  return !preview.Running();
}

TEST(LightingPreviewWorker, RunsOnceEndsWhenThePageIsLeftAndStartsAfresh) {
  DriverState state;
  std::atomic<int> page{PAGE_LIGHTING};
  CountingWindow window;
  GateClock clock;
  LightingPreview preview(state, page, window, clock);

  preview.Start();
  clock.AwaitSleeps(1);
  preview.Start();  // entering the page again while it runs
  clock.ReleaseOne(preview);
  clock.ReleaseOne(preview);
  EXPECT_EQ(clock.Sleeps(), 3);
  EXPECT_EQ(clock.MaxSleepers(), 1);
  EXPECT_TRUE(preview.Running());

  page.store(PAGE_MAIN);
  clock.ReleaseOne(preview);  // the phase under way ends, then the worker
  EXPECT_TRUE(AwaitEnd(preview));
  EXPECT_EQ(clock.Sleeps(), 3);

  page.store(PAGE_LIGHTING);
  preview.Start();
  clock.AwaitSleeps(4);
  EXPECT_TRUE(preview.Running());
  EXPECT_EQ(clock.MaxSleepers(), 1);
}

TEST(LightingPreviewWorker, StopWakesTheSleepingWorkerAndReturnsAtOnce) {
  DriverState state;
  std::atomic<int> page{PAGE_LIGHTING};
  CountingWindow window;
  GateClock clock;
  LightingPreview preview(state, page, window, clock);
  preview.Start();
  clock.AwaitSleeps(1);

  const auto before = std::chrono::steady_clock::now();
  preview.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
  EXPECT_FALSE(preview.Running());
  preview.Start();  // after the stop nothing starts
  EXPECT_FALSE(preview.Running());
  EXPECT_EQ(clock.Sleeps(), 1);
}

TEST(LightingPreviewWorker, StopOnTheEngineClockDoesNotWaitOutAPhase) {
  DriverState state;
  std::atomic<int> page{PAGE_LIGHTING};
  CountingWindow window;
  WakeableClock clock;
  LightingPreview preview(state, page, window, clock);
  preview.Start();
  for (int i = 0; i < 2000 && window.repaints.load() == 0; ++i) std::this_thread::sleep_for(1ms);
  const auto before = std::chrono::steady_clock::now();
  preview.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 300ms);
  EXPECT_FALSE(preview.Running());
}

}  // namespace
}  // namespace kr450
