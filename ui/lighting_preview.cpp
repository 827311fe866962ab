#include "ui/lighting_preview.h"

#include "ui/pages.h"

namespace kr450 {
namespace {

constexpr uint8_t LED_BLINK_FAST = 1;
constexpr uint8_t LED_STEADY = 2;
constexpr int LAST_STAGE = STAGE_COUNT - 1;

}  // namespace

void RunLightingPreview(const DriverState& state, const std::atomic<int>& currentPage,
                        PreviewState& preview, WindowLink& window, StoppableClock& clock,
                        const std::atomic<bool>& stop) {
  auto onPage = [&] { return currentPage.load() == PAGE_LIGHTING; };
  auto sleep = [&](Clock::Duration pause) { clock.SleepUntil(clock.Now() + pause, stop); };
  auto ended = [&] { return stop.load() || state.shutdownRequested.load(); };
  int lastStage = state.Config().dpiLevel;
  preview.stage.store(lastStage);
  if (!onPage()) return;
  do {
    // One look at the configuration per phase, so that the branches agree on the stage.
    const ConfigState snapshot = state.Snapshot();
    const uint8_t mode = snapshot.appliedLedStatus;
    const int level = snapshot.config.dpiLevel;
    if (mode == LED_OFF) {
      preview.off.store(true);
      preview.stage.store(level);
    } else if (mode == LED_STEADY) {
      preview.off.store(false);
      preview.stage.store(level);
    } else if (level != lastStage) {
      preview.stage.store(level);
      preview.off.store(false);
      lastStage = level;
      window.RequestRepaint();
      sleep(PREVIEW_STAGE_HOLD);
    } else if (preview.off.load()) {
      preview.off.store(false);
    } else {
      preview.off.store(true);
      const int stage = preview.stage.load();
      preview.stage.store(stage >= LAST_STAGE || stage < 0 ? 0 : stage + 1);
    }
    window.RequestRepaint();
    sleep(mode == LED_BLINK_FAST ? PREVIEW_FAST_PHASE : PREVIEW_PHASE);
  } while (onPage() && !ended());
}

LightingPreview::LightingPreview(const DriverState& state, const std::atomic<int>& currentPage,
                                 WindowLink& window, StoppableClock& clock)
    : state_(state), currentPage_(currentPage), window_(window), clock_(clock) {}

LightingPreview::~LightingPreview() {
  Stop();
}

void LightingPreview::Start() {
  std::lock_guard lock(mutex_);
  if (stop_.load()) return;
  // Set before looking at the running flag: a worker that is just ending sees it and carries
  // on, so a start is never lost between its last look at the page and its end.
  again_.store(true);
  if (running_.exchange(true)) return;
  if (thread_.joinable()) thread_.join();  // the previous worker has ended or is ending
  thread_ = std::thread([this] { Body(); });
}

void LightingPreview::Stop() {
  stop_.store(true);
  clock_.Wake();
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) thread_.join();
}

void LightingPreview::Body() {
  for (;;) {
    again_.store(false);
    RunLightingPreview(state_, currentPage_, preview_, window_, clock_, stop_);
    running_.store(false);
    if (stop_.load() || !again_.exchange(false)) return;
    if (running_.exchange(true)) return;  // a new worker took over
  }
}

}  // namespace kr450
