#include "actions/action_executor.h"

#include <algorithm>

#include "actions/held_input.h"
#include "actions/key_table.h"
#include "config/config_store.h"
#include "device/feature_report.h"
#include "device/input_reader.h"
#include "device/worker_scheduling.h"

namespace kr450 {
namespace {

static_assert(MacroCode(MAX_MACROS - 1) != 0 && MacroCode(MAX_MACROS) == 0,
              "one catalogue code for each macro the table holds");

int ClampedLevel(int32_t level) {
  return std::clamp<int32_t>(level, 0, STAGE_COUNT - 1);
}

// One key or mouse-button event of a macro; the held set follows what went down and up.
void SendMacroEvent(InputSynth& input, const MacroEvent& event, HeldInput& held) {
  const bool down = event.action == ACTION_PRESS;
  if (!down && event.action != ACTION_RELEASE) return;
  if (event.keyCode >= KEY_MOUSE_LEFT) {
    input.MouseButtonEvent(MouseButtonForKeyCode(event.keyCode), down);
  } else {
    SendKey(input, event.keyCode, down);
  }
  down ? held.Press(event.keyCode) : held.Release(event.keyCode);
}

// The deadline of the next event: `delay` after the last one, or after `now` when playback
// has fallen behind by more than MACRO_RESCHEDULE_LATENESS (a stopped process, a blocked
// backend), so that the remaining events keep their gaps instead of coming in a burst.
Clock::TimePoint NextDeadline(Clock::TimePoint deadline, Clock::TimePoint now,
                              std::chrono::milliseconds delay) {
  if (now - deadline > MACRO_RESCHEDULE_LATENESS) deadline = now;
  return deadline + delay;
}

}  // namespace

ActionExecutor::ActionExecutor(DriverState& state, MacroTable& macros, DeviceLink& link,
                               InputSynth& input, WindowLink& window, Clock& clock)
    : state_(state), macros_(macros), link_(link), input_(input), window_(window), clock_(clock) {}

ActionExecutor::~ActionExecutor() {
  Stop();
}

void ActionExecutor::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] {
    // Real-time where the system allows it; macro delays end within a microsecond of their
    // deadline.
    ScheduleCurrentThreadPromptly(Worker::ActionExecutor, {.tightTimerSlack = true});
    while (RunOnce()) {
    }
  });
}

void ActionExecutor::Stop() {
  state_.shutdownRequested.store(true);
  // The worker waits for pressPending to leave 0; a press made pending here is never
  // performed, because the worker looks at shutdownRequested first.
  state_.pressPending.store(1);
  state_.pressPending.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool ActionExecutor::RunOnce() {
  state_.pressPending.wait(0);
  wakeups_.fetch_add(1);
  if (state_.shutdownRequested.load()) return false;
  PerformPress(state_.pressCode.load());
  state_.pressPending.store(0);
  state_.stopRequested.store(0);
  state_.pressPending.notify_all();  // for whoever waits until the executor is idle
  return !state_.shutdownRequested.load();
}

void ActionExecutor::PerformPress(uint8_t pressCode) {
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    if (pressCode == KEY_CODE_BASE + ButtonDeviceKey[i]) {
      PerformButton(i);
      return;
    }
  }
}

void ActionExecutor::PerformButton(int button) {
  if (button < 0 || button >= BUTTON_COUNT) return;
  auto [code, dpiAction] = state_.WithConfig([&](ConfigState& s) {
    return std::pair{s.config.buttons[button], s.dpiAction[button]};
  });
  // The stage action fixed at the last apply comes first, whatever the code is now.
  if (dpiAction != 0) {
    StepStage(dpiAction);
    return;
  }
  const FunctionInfo* info = FindFunction(code);
  if (info == nullptr) return;  // a code outside the catalogue does nothing
  switch (info->action) {
    case DriverAction::None:
    case DriverAction::StageStep:  // only by the applied dpiAction above
      break;
    case DriverAction::LightingToggle:
      ToggleLighting();
      break;
    case DriverAction::SendKeys:
      SendChord(info->keys);
      break;
    case DriverAction::OpenComputer:
      input_.OpenComputer();
      break;
    case DriverAction::LockSession:
      input_.LockSession();
      break;
    case DriverAction::StartCalculator:
      input_.StartProgram(Program::Calculator);
      break;
    case DriverAction::StartTerminal:
      input_.StartProgram(Program::Terminal);
      break;
    case DriverAction::NextConfig:
      NextConfig();
      break;
    case DriverAction::PlayMacro:
      // A macro deleted since the code was chosen plays nothing.
      if (info->macroIndex < macros_.Count()) PlayMacro(info->macroIndex);
      break;
  }
}

void ActionExecutor::StepStage(int32_t action) {
  struct Step {
    int level;
    uint8_t stageAndLight;
    int configNumber;
    int32_t storedLevel;
  };
  // The number and the value in one snapshot: a switch of configuration after it must not
  // store this configuration's stage in the other's section.
  Step step = state_.WithConfig([&](ConfigState& s) {
    StepDpiLevel(s.config, action);
    int level = ClampedLevel(s.config.dpiLevel);
    return Step{
        level, StageAndLightByte(s.appliedDpiStage[static_cast<size_t>(level)], s.appliedLedStatus),
        s.currentConfig, s.config.dpiLevel};
  });
  // Sent also when the stage did not change, as the mouse may have lost it.
  link_.SendFeatureReport(CMD_STAGE_LIGHT, static_cast<uint8_t>(step.level), step.stageAndLight);
  window_.RequestRepaint();
  // A file that cannot be written leaves the stage in memory; the executor has no one to tell.
  (void)WriteDpiLevel(state_.configFilePath, step.configNumber, step.storedLevel);
}

void ActionExecutor::ToggleLighting() {
  struct Toggle {
    int level;
    uint8_t stageAndLight;
    int configNumber;
    uint8_t mode;
  };
  // One snapshot, as for the stage step.
  Toggle toggle = state_.WithConfig([&](ConfigState& s) {
    uint8_t mode = ToggledLedStatus(s.config.ledStatus);
    s.config.ledStatus = mode;
    s.appliedLedStatus = mode;
    int level = ClampedLevel(s.config.dpiLevel);
    return Toggle{level, StageAndLightByte(s.appliedDpiStage[static_cast<size_t>(level)], mode),
                  s.currentConfig, mode};
  });
  link_.SendFeatureReport(CMD_STAGE_LIGHT, static_cast<uint8_t>(toggle.level),
                          toggle.stageAndLight);
  window_.RequestRepaint();
  (void)WriteLedStatus(state_.configFilePath, toggle.configNumber, toggle.mode);
}

void ActionExecutor::NextConfig() {
  const int next = NextConfigNumber(state_.Snapshot().currentConfig);
  const DeviceConfig loaded =
      ReadConfigSection(LoadIniFile(state_.configFilePath), ConfigSectionName(next));
  // The number and its configuration change together: an apply from the window in between
  // would otherwise store one configuration's values under the other's number.
  state_.WithConfig([&](ConfigState& s) {
    s.currentConfig = next;
    s.config = loaded;
  });
  (void)link_.ApplyConfig();  // the driver shows no failure of an apply
  window_.RequestRepaint();
}

void ActionExecutor::SendChord(const KeyChord& chord) {
  const std::span<const uint8_t> keys = chord.Keys();
  // Modifiers go with scan code 0; the last key with its own, when the chord says so.
  auto send = [&](size_t i, bool down) {
    if (i + 1 == keys.size() && chord.lastKeyScanned) {
      SendKey(input_, keys[i], down);
    } else {
      input_.KeyEvent(keys[i], 0, down ? 0 : KEY_FLAG_UP);
    }
  };
  for (size_t i = 0; i < keys.size(); ++i) send(i, true);
  if (chord.pauseMs != 0) clock_.SleepFor(std::chrono::milliseconds(chord.pauseMs));
  // All released, the media key too: a key left down would repeat.
  for (size_t i = keys.size(); i-- > 0;) send(i, false);
}

bool ActionExecutor::ShouldEnd(PlaybackEnd* end) const {
  if (state_.shutdownRequested.load()) {
    *end = PlaybackEnd::Shutdown;
    return true;
  }
  if (state_.stopRequested.load() != 0) {
    *end = PlaybackEnd::Stopped;
    return true;
  }
  return false;
}

PlaybackEnd ActionExecutor::PlayMacro(int index) {
  // A copy: the window may edit the table while the macro plays.
  std::optional<MacroRecord> copy = macros_.CopyForPlayback(index);
  if (!copy) return PlaybackEnd::Completed;
  const MacroRecord& record = *copy;
  int passes = state_.Config().macroMode != 0 ? MACRO_HELD_PASSES
               : record.repeatEnabled == 0    ? 1
                                              : record.RepeatCount();
  HeldInput held;
  PlaybackEnd end = Play(record, passes, held);
  // Also after a playback that completes: a key the macro left down would repeat without end.
  held.ReleaseAll(input_);
  return end;
}

PlaybackEnd ActionExecutor::Play(const MacroRecord& record, int passes, HeldInput& held) {
  PlaybackEnd end = PlaybackEnd::Completed;
  Clock::TimePoint deadline = clock_.Now();
  for (int pass = 0; pass < passes; ++pass) {
    for (int j = 0; j < record.eventCount; ++j) {
      SendMacroEvent(input_, record.events[j], held);
      // Checked after the event went out, so that a send that blocked counts as well.
      deadline = NextDeadline(deadline, clock_.Now(), std::chrono::milliseconds(record.Delay(j)));
      clock_.SleepUntil(deadline);
      if (ShouldEnd(&end)) return end;
    }
    if (ShouldEnd(&end)) return end;
  }
  return PlaybackEnd::Completed;
}

void SendCloseKeyUps(InputSynth& input) {
  for (int i = 0; i < 6; ++i) input.KeyEvent(VK_MENU_KEY, 0, KEY_FLAG_UP);
}

}  // namespace kr450
