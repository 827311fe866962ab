#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

#include "config/clock.h"
#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/device_link.h"
#include "device/hid_platform.h"
#include "device/pointer_speed.h"
#include "device/resume_watcher.h"
#include "device/simulated_mouse.h"
#include "device/tracing_hid_platform.h"
#include "device/wakeable_clock.h"

namespace kr450 {

// The device side of a driver process wired together: the system's hidraw devices or a
// simulated mouse, an optional trace of every feature report sent, the device link on top,
// and the resume watcher that applies the configuration again after the system slept. The
// references passed in must outlive the stack.
class DeviceStack {
 public:
  struct Options {
    bool simulate = false;  // a SimulatedMouse instead of the system's devices
    // Called with every feature report as it is sent (--trace); none when empty.
    std::function<void(std::span<const uint8_t>)> traceFeatureReport = {};
    // Apply again after every resume from sleep (logind on the system bus). Without a bus
    // nothing is re-applied and nothing fails. Off for commands that only look or apply once.
    bool watchResume = true;
    std::string resumeBusAddress = {};  // another bus than the system bus (tests run their own)
  };

  DeviceStack(DriverState& state, PointerSpeed& pointer, WindowLink& window, StoppableClock& clock,
              Options options);
  ~DeviceStack();

  HidPlatform& platform() { return *platform_; }  // the one the link uses (traced when asked)
  SimulatedMouse* simulatedMouse() { return simulated_; }  // null unless simulating
  DeviceLink& link() { return *link_; }
  // Whether resumes are being watched (asked for, and a bus was there).
  bool watchingResume() const { return resume_ != nullptr; }

 private:
  std::unique_ptr<HidPlatform> system_;
  SimulatedMouse* simulated_ = nullptr;
  std::unique_ptr<TracingHidPlatform> tracing_;
  HidPlatform* platform_ = nullptr;
  std::unique_ptr<DeviceLink> link_;
  std::unique_ptr<ResumeWatcher> resume_;  // calls into link_, so it ends first
};

}  // namespace kr450
