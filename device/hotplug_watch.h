#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/device_connection.h"
#include "device/hid_platform.h"

namespace kr450 {

// Follows the mouse's arrival and removal. Arrival of its path while it is not connected
// reopens it (no apply); its removal, reported by the system or noticed by the input reader,
// ends the driver through WindowLink::RequestShutdown, once however many ways it is noticed.
// No report is sent and the pointer speed is not restored: the mouse is gone.
//
// The platform's events arrive on its own thread, the reader's notice on the reader's.
class HotplugWatch {
 public:
  HotplugWatch(DriverState& state, HidPlatform& platform, DeviceConnection& connection,
               WindowLink& window)
      : state_(state), platform_(platform), connection_(connection), window_(window) {}
  ~HotplugWatch();  // stops watching; returns after the last event was handled
  HotplugWatch(const HotplugWatch&) = delete;
  HotplugWatch& operator=(const HotplugWatch&) = delete;

  // Starts watching the platform's events, the first time only.
  void StartOnce();
  // An event of the platform: only those of the mouse's path count.
  void OnDeviceChange(const HidDeviceEvent& event);
  // The reader found the mouse gone on `handle`. When it is the current read handle this is
  // the removal: the handle is forgotten, so the reader waits for a new one.
  void OnReadHandleRemoved(const std::shared_ptr<HidHandle>& handle);

 private:
  void EndOnRemoval();

  DriverState& state_;
  HidPlatform& platform_;
  DeviceConnection& connection_;
  WindowLink& window_;
  std::mutex mutex_;  // guards watching_
  bool watching_ = false;
  std::atomic<bool> removalReported_{false};
};

}  // namespace kr450
