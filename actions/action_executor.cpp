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

// Function codes the executor performs itself (the stage steps go by dpiAction).
enum Code : FunctionCode {
  LIGHTING_TOGGLE = 19,
  VOLUME_MUTE = 26,
  COPY = 31,
  PASTE = 32,
  SELECT_ALL = 33,
  UNDO = 34,
  CLOSE_WINDOW = 35,
  OPEN_COMPUTER = 36,
  LOCK_WORKSTATION = 37,
  CALCULATOR = 38,
  COMMAND_PROMPT = 39,
  NEXT_CONFIG = 40,
};

int ClampedLevel(int32_t level) {
  return std::clamp<int32_t>(level, 0, STAGE_COUNT - 1);
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
  if (dpiAction != 0) {
    StepStage(dpiAction);
    return;
  }
  if (code >= FIRST_MACRO_CODE && code - FIRST_MACRO_CODE < macros_.Count()) {
    PlayMacro(code - FIRST_MACRO_CODE);
    return;
  }
  switch (code) {
    case LIGHTING_TOGGLE:
      ToggleLighting();
      break;
    case VOLUME_MUTE:
      VolumeMute();
      break;
    case COPY:
      CtrlChord(0x43);
      break;
    case PASTE:
      CtrlChord(0x56);
      break;
    case SELECT_ALL:
      CtrlChord(0x41);
      break;
    case UNDO:
      CtrlChord(0x5A);
      break;
    case CLOSE_WINDOW:
      CloseWindow();
      break;
    case OPEN_COMPUTER:
      input_.OpenComputer();
      break;
    case LOCK_WORKSTATION:
      input_.LockSession();
      break;
    case CALCULATOR:
      input_.StartProgram(Program::Calculator);
      break;
    case COMMAND_PROMPT:
      input_.StartProgram(Program::Terminal);
      break;
    case NEXT_CONFIG:
      NextConfig();
      break;
    default:
      break;  // nothing, as for a code outside the catalogue
  }
}

void ActionExecutor::StepStage(int32_t action) {
  struct Step {
    int level;
    uint8_t stageAndLight;
  };
  Step step = state_.WithConfig([&](ConfigState& s) {
    StepDpiLevel(s.config, action);
    int level = ClampedLevel(s.config.dpiLevel);
    return Step{level, StageAndLightByte(s.appliedDpiStage[level], s.appliedLedStatus)};
  });
  // Sent also when the stage did not change, as the mouse may have lost it.
  link_.SendFeatureReport(CMD_STAGE_LIGHT, static_cast<uint8_t>(step.level), step.stageAndLight);
  window_.RequestRepaint();
  // A file that cannot be written leaves the stage in memory; the executor has no one to tell.
  (void)WriteDpiLevel(state_, state_.configFilePath, state_.Snapshot().currentConfig);
}

void ActionExecutor::ToggleLighting() {
  struct Toggle {
    int level;
    uint8_t stageAndLight;
  };
  Toggle toggle = state_.WithConfig([&](ConfigState& s) {
    uint8_t mode = ToggledLedStatus(s.config.ledStatus);
    s.config.ledStatus = mode;
    s.appliedLedStatus = mode;
    int level = ClampedLevel(s.config.dpiLevel);
    return Toggle{level, StageAndLightByte(s.appliedDpiStage[level], mode)};
  });
  link_.SendFeatureReport(CMD_STAGE_LIGHT, static_cast<uint8_t>(toggle.level),
                          toggle.stageAndLight);
  window_.RequestRepaint();
  (void)WriteLedStatus(state_, state_.configFilePath, state_.Snapshot().currentConfig);
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
  link_.ApplyConfig();
  window_.RequestRepaint();
}

void ActionExecutor::CtrlChord(uint8_t vk) {
  input_.KeyEvent(VK_CONTROL_KEY, 0, 0);
  SendKey(input_, vk, true);
  clock_.SleepFor(CHORD_PAUSE);
  SendKey(input_, vk, false);
  input_.KeyEvent(VK_CONTROL_KEY, 0, KEY_FLAG_UP);
}

void ActionExecutor::CloseWindow() {
  input_.KeyEvent(VK_MENU_KEY, 0, 0);
  SendKey(input_, VK_F4_KEY, true);
  SendKey(input_, VK_F4_KEY, false);
  input_.KeyEvent(VK_MENU_KEY, 0, KEY_FLAG_UP);
}

void ActionExecutor::VolumeMute() {
  // The key-up too: a key left down would repeat.
  input_.KeyEvent(VK_VOLUME_MUTE_KEY, 0, 0);
  input_.KeyEvent(VK_VOLUME_MUTE_KEY, 0, KEY_FLAG_UP);
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
      const MacroEvent& event = record.events[j];
      bool down = event.action == ACTION_PRESS;
      if (down || event.action == ACTION_RELEASE) {
        if (event.keyCode >= KEY_MOUSE_LEFT) {
          input_.MouseButtonEvent(MouseButtonForKeyCode(event.keyCode), down);
        } else {
          SendKey(input_, event.keyCode, down);
        }
        down ? held.Press(event.keyCode) : held.Release(event.keyCode);
      }
      deadline += std::chrono::milliseconds(record.Delay(j));
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
