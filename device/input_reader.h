#pragma once

#include <span>
#include <thread>

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/device_link.h"
#include "device/wakeable_clock.h"

namespace kr450 {

// Input codes of the mouse's vendor input report (byte 1): 0 after a driver-performed key was
// released, 240 + device key while it is pressed.
inline constexpr uint8_t KEY_CODE_BASE = 240;
inline constexpr uint8_t CONFIRM_REPORT_ID = 6;

// The reader's rules for one input report: a press becomes pressPending / pressCode, or
// stopRequested (a second press in macro mode 0); a release sets stopRequested in macro mode
// 1; while the click prompt waits only the report (6, 0) counts, and it ends the prompt.
// After each store to pressPending or stopRequested it calls notify_all(), so the executor
// can wait on them with std::atomic::wait. Asks the window to repaint when the prompt ends.
void HandleInputReport(DriverState& state, WindowLink& window, std::span<const uint8_t> report);

// The input reader worker (InputReaderThread): blocks on the mouse's input collection and
// hands every report to HandleInputReport. Without an open collection it waits for one
// without waking up; after a failed read it pauses (2 ms, doubling up to 1 s while reads keep
// failing). A read that finds the mouse removed ends the driver as the removal event does
// (DeviceLink::OnReadHandleRemoved). It ends when state.shutdownRequested is set and Stop()
// wakes it.
class InputReader {
 public:
  InputReader(DriverState& state, DeviceLink& link, WindowLink& window, StoppableClock& clock);
  ~InputReader();  // Stop()

  void Start();  // from the window thread, once
  // Sets shutdownRequested, wakes the reader (in a read or in a pause) and waits for it to end.
  void Stop();

 private:
  void Body();

  DriverState& state_;
  DeviceLink& link_;
  WindowLink& window_;
  StoppableClock& clock_;
  std::thread thread_;
};

}  // namespace kr450
