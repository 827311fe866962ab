#pragma once

// The macro recorder: turns key strokes into the events of the macro selected in the macro
// list, with the measured time between them as delays. Strokes come from a KeyboardCapture
// while it runs, otherwise from the keys the window receives (the window's key filter calls
// OnKeyStroke itself when the capture is not Active()).
//
// Limits of one recording: 216 events, 108 presses, 9 keys held at once. A press beyond a
// limit is dropped together with its release; a release whose press was not recorded (the key
// was down before the recording began) is dropped; auto-repeated key-downs are dropped.
// Everything runs on the window thread.

#include <array>
#include <cstdint>

#include "config/clock.h"
#include "macro/key_message.h"
#include "macro/keyboard_capture.h"
#include "macro/macro_editor.h"
#include "macro/macro_table.h"

namespace kr450 {

inline constexpr int MAX_RECORDED_EVENTS = 216;
inline constexpr int MAX_RECORDED_PRESSES = 108;
inline constexpr int MAX_HELD_KEYS = 9;
inline constexpr uint16_t MAX_RECORDED_DELAY = 65535;

struct RecorderState {
  int recordedEvents = 0;
  std::array<uint8_t, MAX_HELD_KEYS> heldKeys{};  // recorded presses not yet released
  int heldCount = 0;
  // The last stroke taken (stored, dropped as a repeat or at the event limit): a stroke equal
  // to it is a key's auto-repeat.
  uint32_t lastKeyMessage = 0;
  uint32_t lastKeyCode = 0;
};

class MacroRecorder {
 public:
  MacroRecorder(MacroTable& table, MacroEditor& editor, Clock& clock, KeyboardCapture& capture);
  ~MacroRecorder();
  MacroRecorder(const MacroRecorder&) = delete;
  MacroRecorder& operator=(const MacroRecorder&) = delete;

  // The record button: starts a recording into the selected macro (none without a macro), or
  // stops the one that runs and stores its events.
  void ToggleRecording();
  // Stops a running recording as the record button would; nothing otherwise. For every way
  // the page goes away (page change, hidden or closed window).
  void StopRecording();
  // The recording step: takes one stroke. True when it was stored as an event.
  bool OnKeyStroke(const KeyStroke& stroke);
  // Milliseconds since the previous call, at most 65535. Measured on the clock's monotonic
  // time, so a change of the system time or midnight does not disturb it.
  uint16_t ElapsedSinceLastEvent();

  bool recording() const { return editor_.state().recording; }
  const RecorderState& state() const { return state_; }

 private:
  void Start(int macro);
  void Stop();
  bool Hold(uint8_t key);
  bool Release(uint8_t key);

  MacroTable& table_;
  MacroEditor& editor_;
  Clock& clock_;
  KeyboardCapture& capture_;
  RecorderState state_;
  Clock::TimePoint lastEventTime_{};
};

}  // namespace kr450
