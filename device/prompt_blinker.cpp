#include "device/prompt_blinker.h"

namespace kr450 {

void RunPromptBlink(DriverState& state, WindowLink& window, StoppableClock& clock,
                    const std::atomic<bool>& stop) {
  auto ended = [&] { return stop.load() || state.shutdownRequested.load(); };
  if (state.mainPageShown.load()) {
    while (!state.driverRunning.load() && !ended()) {
      for (int i = 0; i < PROMPT_BLINKS_PER_ROUND && !ended(); ++i) {
        state.promptBlink.store(!state.promptBlink.load());
        window.RequestRepaint();
        clock.SleepUntil(clock.Now() + PROMPT_BLINK_INTERVAL, stop);
      }
      if (!state.mainPageShown.load()) break;
    }
  }
  state.promptBlink.store(true);
}

PromptBlinker::PromptBlinker(DriverState& state, WindowLink& window, StoppableClock& clock)
    : state_(state), window_(window), clock_(clock) {}

PromptBlinker::~PromptBlinker() {
  Stop();
}

void PromptBlinker::Start() {
  ++startsRequested_;
  std::lock_guard lock(mutex_);
  if (stop_.load()) return;
  // Set before looking at the running flag: a worker that is just ending sees it and carries
  // on, so a start is never lost between its last check and its end.
  again_.store(true);
  if (state_.promptBlinkRunning.exchange(true)) return;
  if (thread_.joinable()) thread_.join();  // the previous worker has ended or is ending
  thread_ = std::thread([this] { Body(); });
}

void PromptBlinker::Stop() {
  stop_.store(true);
  clock_.Wake();
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) thread_.join();
}

void PromptBlinker::Body() {
  for (;;) {
    again_.store(false);
    RunPromptBlink(state_, window_, clock_, stop_);
    state_.promptBlinkRunning.store(false);
    if (stop_.load() || !again_.exchange(false)) return;
    if (state_.promptBlinkRunning.exchange(true)) return;  // a new worker took over
  }
}

}  // namespace kr450
