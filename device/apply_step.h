#pragma once

#include "config/driver_state.h"
#include "config/status.h"
#include "config/ui_link.h"
#include "device/click_prompt.h"
#include "device/pointer_speed.h"
#include "device/report_sender.h"

namespace kr450 {

// What an apply did, for callers that report it (the command-line tool); the window may
// ignore it, as the driver never shows these failures.
struct ApplyOutcome {
  Status files = Status::Ok();  // the first write of config.ini that failed
  int reportsSent = 0;          // feature reports the mouse accepted
  int reportsFailed = 0;        // feature reports that could not be sent (no mouse included)
};

// The apply step (ApplyConfig): stores Init/CurConfig and configuration 6, sends the eight
// reports (six buttons, wheel, stage and lighting), enters the click prompt when a button has
// a driver-performed function, sets the pointer speed and stores the current configuration.
// Never leaves the mouse without a left button: when no button holds code 1, button 1 gets
// it first. Without a mouse the files and the pointer speed are still written.
//
// Run() may be called from any thread but not twice at once (ApplySequence serialises it);
// it blocks only on the device, the display server and the config.ini writes.
class ApplyStep {
 public:
  ApplyStep(DriverState& state, const ReportSender& reports, PointerSpeed& pointer,
            WindowLink& window, ClickPrompt& prompt)
      : state_(state), reports_(reports), pointer_(pointer), window_(window), prompt_(prompt) {}

  ApplyOutcome Run();

 private:
  ConfigState TakeSnapshot();
  void SendButtons(const DeviceConfig& config, ApplyOutcome& outcome);
  void SendWheelStageAndLight(const ConfigState& applied, ApplyOutcome& outcome);
  void SetPointerSpeed(const DeviceConfig& config);
  void Send(ApplyOutcome& outcome, uint8_t command, uint8_t byte2, uint8_t byte3);

  DriverState& state_;
  const ReportSender& reports_;
  PointerSpeed& pointer_;
  WindowLink& window_;
  ClickPrompt& prompt_;
};

}  // namespace kr450
