#include "device/apply_step.h"

#include <algorithm>
#include <string>

#include "config/config_store.h"
#include "device/feature_report.h"

namespace kr450 {
namespace {

// Without a button that clicks, the window (worked only with the mouse) would be out of
// reach; the function menus keep one, but a file or an import may not.
void GuardLeftButton(DeviceConfig& config) {
  auto& buttons = config.buttons;
  if (std::find(buttons.begin(), buttons.end(), FunctionCode{1}) == buttons.end()) buttons[0] = 1;
}

// WriteConfig from a configuration and number taken together, so that they belong to each
// other even when the configuration was switched meanwhile.
Status StoreConfig(const ConfigState& s, const std::string& file) {
  return WriteConfigValues(s.config, file, s.currentConfig);
}

void KeepFirstFailure(ApplyOutcome& outcome, Status status) {
  if (!status && outcome.files.ok()) outcome.files = std::move(status);
}

}  // namespace

ApplyOutcome ApplyStep::Run() {
  ApplyOutcome outcome;
  state_.driverRunning.store(true);
  const ConfigState applied = TakeSnapshot();
  const std::string& file = state_.configFilePath;
  KeepFirstFailure(outcome, WriteApplyStart(applied, file));
  SendButtons(applied.config, outcome);
  SendWheelStageAndLight(applied, outcome);
  window_.RequestRepaint();
  SetPointerSpeed(applied.config);
  // The configuration being edited, as it is now, into its own section: a stage step the
  // executor made meanwhile is kept, and a switch of configuration does not put one
  // configuration's values into another's section.
  KeepFirstFailure(outcome, StoreConfig(state_.Snapshot(), file));
  return outcome;
}

// One snapshot, taken with the left-button guard and the copies the executor's own reports
// use: configuration 6 stores exactly what is sent, whatever the executor changes meanwhile.
ConfigState ApplyStep::TakeSnapshot() {
  return state_.WithConfig([](ConfigState& s) {
    GuardLeftButton(s.config);
    for (int i = 0; i < BUTTON_COUNT; ++i) s.dpiAction[i] = DpiActionFor(s.config.buttons[i]);
    s.appliedDpiStage = s.config.dpiStage;
    s.appliedLedStatus = s.config.ledStatus;
    return s;
  });
}

void ApplyStep::SendButtons(const DeviceConfig& config, ApplyOutcome& outcome) {
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    const uint8_t function = DeviceFunctionFor(config.buttons[i]);
    if (function > 17 && function != SOFTWARE_FUNCTION) continue;
    Send(outcome, CMD_BUTTON_MAP, ButtonDeviceKey[i], function);
    if (function == SOFTWARE_FUNCTION) prompt_.OfferButton(i + 1);
  }
}

// The stage the mouse is told is the one whose value it gets, as in the executor's reports.
void ApplyStep::SendWheelStageAndLight(const ConfigState& applied, ApplyOutcome& outcome) {
  const DeviceConfig& config = applied.config;
  Send(outcome, CMD_WHEEL, static_cast<uint8_t>(config.wheelStatus), 0);
  const int level = std::clamp<int32_t>(config.dpiLevel, 0, STAGE_COUNT - 1);
  Send(outcome, CMD_STAGE_LIGHT, static_cast<uint8_t>(level),
       StageAndLightByte(applied.appliedDpiStage[level], applied.appliedLedStatus));
}

// Only where the speed can be read: a system without one is left alone.
void ApplyStep::SetPointerSpeed(const DeviceConfig& config) {
  if (pointer_.GetPointerSpeed()) pointer_.SetPointerSpeed(SystemPointerSpeed(config.pointerSpeed));
}

void ApplyStep::Send(ApplyOutcome& outcome, uint8_t command, uint8_t byte2, uint8_t byte3) {
  ++(reports_.Send(command, byte2, byte3) ? outcome.reportsSent : outcome.reportsFailed);
}

}  // namespace kr450
