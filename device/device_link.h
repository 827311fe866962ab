#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/apply_sequence.h"
#include "device/apply_step.h"
#include "device/click_prompt.h"
#include "device/device_connection.h"
#include "device/hid_platform.h"
#include "device/hotplug_watch.h"
#include "device/pointer_speed.h"
#include "device/report_sender.h"
#include "device/wakeable_clock.h"

namespace kr450 {

// The driver's link to the mouse, put together from its pieces: the connection (finding and
// opening), the report sender, the click prompt with its blink worker, the apply step and the
// sequence that serialises applies and follows resumes, and the hot-plug watch. It adds the
// goodbye of the close sequence.
//
// Thread use: OpenDevice, ApplyConfig, SendFeatureReport, OnDeviceChange, OnResume and
// ShutDown may be called from any thread (the window, the action executor, the platform's
// event thread, the resume watcher); applies are serialised, so the reports of two applies
// never interleave. None of them blocks beyond a device call and a config.ini write. The
// object must outlive the workers that use it (InputReader). `clock` is the blink worker's.
class DeviceLink {
 public:
  DeviceLink(DriverState& state, HidPlatform& platform, PointerSpeed& pointer, WindowLink& window,
             StoppableClock& clock);
  ~DeviceLink() = default;  // stops watching for devices, then ends the blink worker
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Searches the enumeration for the mouse and opens its input collection for reading and
  // its feature collection for writing. True when both were found and opened; the result is
  // also stored in state.deviceFound. Starts watching for arrival and removal the first time
  // the mouse's ids are seen.
  bool OpenDevice();

  // Builds one feature report in a buffer of its own and sends it. False when no feature
  // collection is open or the mouse refused it.
  bool SendFeatureReport(uint8_t command, uint8_t byte2, uint8_t byte3) {
    return reports_.Send(command, byte2, byte3);
  }

  // The apply step (ApplyStep says what it does).
  ApplyOutcome ApplyConfig() { return sequence_.Apply(); }

  // Whether an event's path is the mouse's (compared without regard to case).
  bool IsOurDevice(std::string_view path) const { return connection_.IsMousePath(path); }
  // Arrival of the mouse's path while it is not connected reopens it (no apply); its removal
  // ends the driver through WindowLink::RequestShutdown. Other events are ignored.
  void OnDeviceChange(const HidDeviceEvent& event) { hotplug_.OnDeviceChange(event); }
  // The reader found the mouse gone on `handle` (HotplugWatch::OnReadHandleRemoved).
  void OnReadHandleRemoved(const std::shared_ptr<HidHandle>& handle) {
    hotplug_.OnReadHandleRemoved(handle);
  }
  // The system resumed from sleep: the configuration is applied again (the mouse may have
  // lost power). Nothing before the first apply, nor once the driver closes.
  void OnResume() { sequence_.OnResume(); }

  // The device-link step of the close sequence: the exit report when a feature collection is
  // open, then the system pointer speed 10. A resume after it applies nothing.
  void ShutDown();

  // Starts the prompt blink worker unless one runs (the window does so at start-up and when it
  // returns to the main page).
  void StartPromptBlink() { prompt_.StartBlink(); }
  // How many blink workers were asked for so far (by applies and by StartPromptBlink).
  int PromptBlinkStartsRequested() const { return prompt_.BlinkStartsRequested(); }

  std::string DevicePath() const { return connection_.DevicePath(); }
  uint16_t InputReportLength() const { return connection_.InputReportLength(); }
  uint16_t FeatureReportLength() const { return connection_.FeatureReportLength(); }
  // Why the last OpenDevice failed to open a collection of the mouse ("" when it did not).
  std::string OpenError() const { return connection_.OpenError(); }

  // For the input reader (DeviceConnection says what they do).
  std::shared_ptr<HidHandle> WaitForReadHandle() { return connection_.WaitForReadHandle(); }
  void WakeReader() { connection_.WakeReader(); }

 private:
  PointerSpeed& pointer_;
  // Declared in the order they are built; the hot-plug watch ends first (its events call into
  // the connection), the blink worker after it.
  DeviceConnection connection_;
  ReportSender reports_;
  ClickPrompt prompt_;
  ApplyStep apply_;
  ApplySequence sequence_;
  HotplugWatch hotplug_;
};

}  // namespace kr450
