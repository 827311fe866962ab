#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/wakeable_clock.h"

namespace kr450 {

inline constexpr int PROMPT_BLINKS_PER_ROUND = 6;
inline constexpr auto PROMPT_BLINK_INTERVAL = std::chrono::milliseconds(500);

// The blink worker's steps (PromptBlinkThread): while the main page shows and the click
// prompt waits, invert promptBlink and ask for a repaint every 500 ms; at the end promptBlink
// is set again. Returns when the prompt ends, the page changes, `stop` or shutdownRequested is
// set. Blocks only in clock.SleepUntil, which a set `stop` and a Wake() cut short.
void RunPromptBlink(DriverState& state, WindowLink& window, StoppableClock& clock,
                    const std::atomic<bool>& stop);

// Owns the blink worker thread. At most one runs: Start() while one runs leaves it running
// (it goes on as long as the prompt waits). promptBlinkRunning tells whether one runs.
class PromptBlinker {
 public:
  PromptBlinker(DriverState& state, WindowLink& window, StoppableClock& clock);
  ~PromptBlinker();  // Stop()
  PromptBlinker(const PromptBlinker&) = delete;
  PromptBlinker& operator=(const PromptBlinker&) = delete;

  // Starts the worker unless one runs. Any thread; returns at once.
  void Start();
  // How often Start() was called: each call is a blink worker asked for, whether it started
  // one or left the running one to go on.
  int StartsRequested() const { return startsRequested_.load(); }
  // Ends the worker for good and waits for it. The worker's sleep is woken, so this returns
  // at once (the window thread calls it). Later Start() calls start nothing.
  void Stop();

 private:
  void Body();

  DriverState& state_;
  WindowLink& window_;
  StoppableClock& clock_;
  std::mutex mutex_;  // guards thread_
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> again_{false};  // a Start() came while the worker was ending
  std::atomic<int> startsRequested_{0};
};

}  // namespace kr450
