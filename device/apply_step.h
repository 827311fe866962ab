#pragma once

#include "config/driver_state.h"
#include "config/status.h"
#include "config/ui_link.h"
#include "device/click_prompt.h"
#include "device/pointer_speed.h"
#include "device/report_sender.h"

namespace kr450 {

// The feature reports of one apply, for callers that report them (the command-line tool).
struct ApplyReports {
  int sent = 0;    // accepted by the mouse
  int failed = 0;  // could not be sent (no mouse included)
};

// The apply step (ApplyConfig): stores Init/CurConfig and configuration 6, sends the eight
// reports (six buttons, wheel, stage and lighting), enters the click prompt when a button has
// a driver-performed function, sets the pointer speed and stores the current configuration.
// Never leaves the mouse without a left button: when no button holds code 1, button 1 gets
// it first. Without a mouse the files and the pointer speed are still written.
//
// The result is the reports sent, or the first write of config.ini that failed (the reports
// and the pointer speed were still sent). The driver shows neither to the user.
//
// Run() may be called from any thread but not twice at once (ApplySequence serialises it);
// it blocks only on the device, the display server and the config.ini writes.
class ApplyStep {
 public:
  ApplyStep(DriverState& state, const ReportSender& reports, PointerSpeed& pointer,
            WindowLink& window, ClickPrompt& prompt)
      : state_(state), reports_(reports), pointer_(pointer), window_(window), prompt_(prompt) {}

  Result<ApplyReports> Run();

 private:
  ConfigState TakeSnapshot();
  void SendButtons(const DeviceConfig& config, ApplyReports& reports);
  void SendWheelStageAndLight(const ConfigState& applied, ApplyReports& reports);
  void SetPointerSpeed(const DeviceConfig& config);
  void Send(ApplyReports& reports, uint8_t command, uint8_t byte2, uint8_t byte3);

  DriverState& state_;
  const ReportSender& reports_;
  PointerSpeed& pointer_;
  WindowLink& window_;
  ClickPrompt& prompt_;
};

}  // namespace kr450
