#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "actions/held_input.h"
#include "actions/input_synth.h"
#include "config/clock.h"
#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/device_link.h"
#include "macro/macro_table.h"

namespace kr450 {

inline constexpr int MACRO_HELD_PASSES = 100000;  // macro mode 1: until the key is released
// Macro events keep absolute deadlines, so that the lateness of each wake-up does not add up
// over a long playback. Behind by more than this (a stopped process, a paused machine, a
// blocked backend), the schedule starts again from now, so that the events still to come keep
// their gaps instead of going out in a burst. 20 ms lies well above the lateness of an
// ordinary wake-up on a loaded desktop (timer slack, scheduling: a few ms), which is still
// made up, and bounds what a stall can squeeze together to 20 ms of the schedule.
inline constexpr auto MACRO_RESCHEDULE_LATENESS = std::chrono::milliseconds(20);

enum class PlaybackEnd { Completed, Stopped, Shutdown };

// The action executor (ActionExecutorThread): performs the functions the mouse leaves to the
// driver. It sleeps on state.pressPending (std::atomic::wait; the input reader notifies), so
// it does not wake while idle. A press is performed on its thread: stage steps and the
// lighting toggle send their report and store the value, shortcuts and macros go through
// InputSynth, NextConfig loads and applies the next configuration. While it is busy further
// presses are not queued. Macro events keep absolute deadlines from the start of the
// playback, started again after a stall (MACRO_RESCHEDULE_LATENESS); a stop takes effect
// after the delay that runs. shutdownRequested ends the worker
// (a clock that cuts sleeps short at shutdown ends a playback at once).
class ActionExecutor {
 public:
  ActionExecutor(DriverState& state, MacroTable& macros, DeviceLink& link, InputSynth& input,
                 WindowLink& window, Clock& clock);
  ~ActionExecutor();  // Stop()
  ActionExecutor(const ActionExecutor&) = delete;
  ActionExecutor& operator=(const ActionExecutor&) = delete;

  void Start();  // once, from the window thread
  // Sets shutdownRequested, wakes the worker and waits for it. A playback ends after the
  // delay that runs (at once with a clock woken for shutdown) and releases what it holds.
  void Stop();

  // One turn of the loop: waits for a pending press, performs it, clears pressPending and
  // stopRequested. False once shutdown is requested.
  bool RunOnce();
  // The function of the button whose device key the input code names; nothing for others.
  void PerformPress(uint8_t pressCode);
  void PerformButton(int button);  // 0..5
  // Plays a copy of macro `index`; nothing when index is not below the macro count. However
  // it ends, the keys and buttons it pressed and did not release are released.
  PlaybackEnd PlayMacro(int index);

  // Times the worker returned from its wait (for the idle wake-up measurement).
  uint64_t Wakeups() const { return wakeups_.load(); }

 private:
  void StepStage(int32_t action);
  void ToggleLighting();
  void NextConfig();
  void SendChord(const KeyChord& chord);
  bool ShouldEnd(PlaybackEnd* end) const;
  PlaybackEnd Play(const MacroRecord& record, int passes, HeldInput& held);

  DriverState& state_;
  MacroTable& macros_;
  DeviceLink& link_;
  InputSynth& input_;
  WindowLink& window_;
  Clock& clock_;
  std::thread thread_;
  std::atomic<uint64_t> wakeups_{0};
};

// Step 1 of the close sequence: six key-ups of Alt, so that no Alt stays down for the system
// whatever the driver sent.
void SendCloseKeyUps(InputSynth& input);

}  // namespace kr450
