#include "macro/macro_recorder.h"

#include <algorithm>
#include <chrono>

namespace kr450 {

MacroRecorder::MacroRecorder(MacroTable& table, MacroEditor& editor, Clock& clock,
                             KeyboardCapture& capture)
    : table_(table), editor_(editor), clock_(clock), capture_(capture) {}

MacroRecorder::~MacroRecorder() {
  capture_.Stop();
}

void MacroRecorder::ToggleRecording() {
  MacroEditorControls& controls = editor_.controls();
  controls.FocusEventList();
  if (recording()) {
    // Stopping never depends on the macro list: an import may have emptied it meanwhile,
    // and the keyboard must come back.
    Stop();
    return;
  }
  if (controls.MacroLineCount() == 0) return;
  const int m = std::max(controls.SelectedMacroLine(), 0);
  if (m >= table_.Count()) return;
  Start(m);
}

void MacroRecorder::StopRecording() {
  if (recording()) Stop();
}

void MacroRecorder::Start(int m) {
  MacroEditorControls& controls = editor_.controls();
  state_ = RecorderState{};
  // A stroke of an earlier recording is no repeat of the first stroke of this one.
  state_.lastKeyMessage = 0;
  state_.lastKeyCode = 0;
  editor_.SetRecording(true, m);
  editor_.ClearEventView();
  const std::string name = controls.MacroLineText(m);
  table_.Edit([&](MacroTableData& d) {
    MacroRecord& record = d.records[static_cast<size_t>(m)];
    record = MacroTable::BlankMacro();
    SetMacroNameUtf8(record, name);
    record.repeatEnabled = 0;
    record.SetRepeatCount(1);
    d.selectedMacro = m;
  });
  controls.SetRepeatText("1");
  controls.SetRepeatEnabled(false);
  controls.ClearEventLines();
  // Without a global capture the window's own keys are recorded.
  capture_.Start([this](const KeyStroke& stroke) { OnKeyStroke(stroke); });
}

void MacroRecorder::Stop() {
  capture_.Stop();
  const int m = editor_.state().recordingMacro;
  const int count = state_.recordedEvents;
  table_.Edit([&](MacroTableData& d) {
    d.records[static_cast<size_t>(m)].eventCount = static_cast<uint8_t>(count);
  });
  editor_.SetRecording(false, m);
}

bool MacroRecorder::Hold(uint8_t key) {
  // A tenth key held at once is refused like a press beyond the limit.
  if (state_.heldCount >= MAX_HELD_KEYS) return false;
  state_.heldKeys[static_cast<size_t>(state_.heldCount++)] = key;
  return true;
}

bool MacroRecorder::Release(uint8_t key) {
  auto begin = state_.heldKeys.begin();
  auto end = begin + state_.heldCount;
  auto it = std::find(begin, end, key);
  if (it == end) return false;
  std::copy(it + 1, end, it);
  *(end - 1) = 0;
  --state_.heldCount;
  return true;
}

bool MacroRecorder::OnKeyStroke(const KeyStroke& stroke) {
  if (!recording()) return false;
  const auto message = static_cast<uint32_t>(stroke.message);
  const bool repeat = message == state_.lastKeyMessage && stroke.vk == state_.lastKeyCode;
  const bool full = state_.recordedEvents >= MAX_RECORDED_EVENTS;
  if (repeat || full) {
    state_.lastKeyMessage = message;
    state_.lastKeyCode = stroke.vk;
    return false;
  }
  const bool down = IsKeyDown(stroke.message);
  const auto key = static_cast<uint8_t>(stroke.vk & 0xFF);
  if (down && editor_.state().pressLineCount >= MAX_RECORDED_PRESSES) return false;
  if (down ? !Hold(key) : !Release(key)) return false;

  const int s = state_.recordedEvents;
  const uint16_t d = ElapsedSinceLastEvent();
  const int m = editor_.state().recordingMacro;
  table_.Edit([&](MacroTableData& data) {
    MacroRecord& record = data.records[static_cast<size_t>(m)];
    record.events[static_cast<size_t>(s)] = {key, down ? ACTION_PRESS : ACTION_RELEASE};
    if (s > 0) {
      record.SetDelay(s - 1, d);
      record.SetDelay(s, DEFAULT_EVENT_DELAY);
    }
  });
  editor_.AddEventLines(m, s);
  ++state_.recordedEvents;
  state_.lastKeyMessage = message;
  state_.lastKeyCode = stroke.vk;
  return true;
}

uint16_t MacroRecorder::ElapsedSinceLastEvent() {
  const Clock::TimePoint now = clock_.Now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastEventTime_);
  lastEventTime_ = now;
  return static_cast<uint16_t>(std::clamp<int64_t>(elapsed.count(), 0, MAX_RECORDED_DELAY));
}

}  // namespace kr450
