#pragma once

// The lighting page's preview animation (LightingPreviewThread), without Qt.
//
// Use (the window thread):
//   LightingPreview preview(state, currentPage, windowLink, clock);  // the WakeableClock
//   on entering the lighting page, currentPage already PAGE_LIGHTING:
//     preview.Start();
//   in the paint:
//     view.previewOff = preview.previewOff();
//     view.previewStage = preview.previewStage();
//   at shutdown:
//     preview.Stop();  // wakes the worker, returns at once
// The worker ends by itself within one phase after the page is left; a later Start() starts a
// fresh one. It asks for repaints through the window link.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/wakeable_clock.h"

namespace kr450 {

inline constexpr auto PREVIEW_PHASE = std::chrono::milliseconds(1200);       // modes 0, 2, 3
inline constexpr auto PREVIEW_FAST_PHASE = std::chrono::milliseconds(800);   // mode 1
inline constexpr auto PREVIEW_STAGE_HOLD = std::chrono::milliseconds(2000);  // after a stage change

// What the preview shows: gray when off, else the colour of `stage` (0 blue, 1 pink, 2 red,
// 3 purple). Written by the worker only, read by the paint.
struct PreviewState {
  std::atomic<bool> off{false};
  std::atomic<int> stage{0};
};

// The worker's steps, on the calling thread: while the lighting page shows, blink between the
// stage colour and gray by the lighting mode last applied, moving on to the next stage after
// each gray phase (modes 0 and 1), hold the current stage's colour (mode 2) or gray (mode 3);
// a stage change shows the new stage for 2 s first. Returns after the phase in which the page
// was left, or once `stop` or shutdownRequested is seen after a sleep. Blocks only in
// clock.SleepUntil, which a set `stop` and a Wake() cut short. `currentPage` is the window's.
void RunLightingPreview(const DriverState& state, const std::atomic<int>& currentPage,
                        PreviewState& preview, WindowLink& window, StoppableClock& clock,
                        const std::atomic<bool>& stop);

// Owns the worker thread. At most one runs.
class LightingPreview {
 public:
  // `currentPage` is the window's page, kept for the life of this object.
  LightingPreview(const DriverState& state, const std::atomic<int>& currentPage, WindowLink& window,
                  StoppableClock& clock);
  ~LightingPreview();  // Stop()
  LightingPreview(const LightingPreview&) = delete;
  LightingPreview& operator=(const LightingPreview&) = delete;

  // Starts the worker unless one runs; a worker that is just ending goes on instead. Window
  // thread; returns at once.
  void Start();
  // Ends the worker for good: its sleep is woken, so this returns at once. Later Start() calls
  // start nothing. For the shutdown.
  void Stop();
  bool Running() const { return running_.load(); }  // lightingPreviewRunning

  bool previewOff() const { return preview_.off.load(); }
  int previewStage() const { return preview_.stage.load(); }

 private:
  void Body();

  const DriverState& state_;
  const std::atomic<int>& currentPage_;
  WindowLink& window_;
  StoppableClock& clock_;
  PreviewState preview_;
  std::mutex mutex_;  // guards thread_
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> again_{false};  // a Start() came while the worker was ending
};

}  // namespace kr450
