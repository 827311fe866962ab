#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "config/clock.h"
#include "config/driver_state.h"
#include "config/status.h"
#include "config/ui_link.h"
#include "device/hid_platform.h"
#include "device/pointer_speed.h"
#include "device/prompt_blinker.h"

namespace kr450 {

// The mouse's two vendor collections.
inline constexpr uint16_t INPUT_USAGE_PAGE = 0xFF00;
inline constexpr uint16_t FEATURE_USAGE_PAGE = 0xFF01;
inline constexpr uint16_t VENDOR_USAGE = 1;
// The search looks at no more collections than this.
inline constexpr int MAX_HID_COLLECTIONS = 100;

// What an apply did, for callers that report it (the command-line tool); the window may
// ignore it, as the driver never shows these failures.
struct ApplyOutcome {
  Status files = Status::Ok();  // the first write of config.ini that failed
  int reportsSent = 0;          // feature reports the mouse accepted
  int reportsFailed = 0;        // feature reports that could not be sent (no mouse included)
};

// The driver's link to the mouse: finds and opens its collections, sends the feature reports,
// applies configurations, follows arrival, removal and resume, and says goodbye on close.
//
// Thread use: OpenDevice, ApplyConfig, SendFeatureReport, OnDeviceChange, OnResume and
// ShutDown may be called from any thread (the window, the action executor, the platform's
// event thread, the resume watcher); applies are serialised, so the reports of two applies
// never interleave. None of them blocks beyond a device call and a config.ini write. The
// object must outlive the workers that use it (InputReader).
class DeviceLink {
 public:
  DeviceLink(DriverState& state, HidPlatform& platform, PointerSpeed& pointer, WindowLink& window,
             Clock& clock);
  ~DeviceLink();  // stops watching for devices and ends the blink worker
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Searches the enumeration for the mouse and opens its input collection for reading and
  // its feature collection for writing. True when both were found and opened; the result is
  // also stored in state.deviceFound. Starts watching for arrival and removal the first time
  // the mouse's ids are seen.
  bool OpenDevice();

  // Builds one feature report in a buffer of its own and sends it. False when no feature
  // collection is open or the mouse refused it.
  bool SendFeatureReport(uint8_t command, uint8_t byte2, uint8_t byte3);

  // Stores Init/CurConfig and configuration 6, sends the eight reports (six buttons, wheel,
  // stage and lighting), enters the click prompt when a button has a driver-performed
  // function, sets the pointer speed and stores the current configuration. Never leaves the
  // mouse without a left button: when no button holds code 1, button 1 gets it first. Without
  // a mouse the files and the pointer speed are still written.
  ApplyOutcome ApplyConfig();

  // Whether an event's path is the mouse's (compared without regard to case).
  bool IsOurDevice(std::string_view path) const;
  // Arrival of the mouse's path while it is not connected reopens it (no apply); its removal
  // ends the driver through WindowLink::RequestShutdown. Other events are ignored.
  void OnDeviceChange(const HidDeviceEvent& event);
  // The reader found the mouse gone on `handle`. When it is the current read handle this is
  // the removal (the system may report it as well, or not at all): the handle is forgotten,
  // so the reader waits for a new one, and the driver ends as on the system's removal event.
  // The window is asked to shut down once, however many ways the removal is noticed.
  void OnReadHandleRemoved(const std::shared_ptr<HidHandle>& handle);
  // The system resumed from sleep: the configuration is applied again (the mouse may have
  // lost power). Nothing before the first apply, nor once the driver closes.
  void OnResume();

  // The device-link step of the close sequence: the exit report when a feature collection is
  // open, then the system pointer speed 10. A resume after it applies nothing.
  void ShutDown();

  // Starts the prompt blink worker unless one runs (the window does so at start-up and when it
  // returns to the main page).
  void StartPromptBlink() { blinker_.Start(); }
  // How many blink workers were asked for so far (by applies and by StartPromptBlink).
  int PromptBlinkStartsRequested() const { return blinker_.StartsRequested(); }

  std::string DevicePath() const;
  uint16_t InputReportLength() const;
  uint16_t FeatureReportLength() const;
  // Why the last OpenDevice failed to open a collection of the mouse ("" when it did not).
  std::string OpenError() const;

  // For the input reader: blocks until an input collection is open and returns it, or returns
  // nothing once state.shutdownRequested is set and WakeReader() was called.
  std::shared_ptr<HidHandle> WaitForReadHandle();
  // Wakes a reader blocked in WaitForReadHandle or in a read (at shutdown).
  void WakeReader();

 private:
  void StartWatchingOnce();
  void EndOnRemoval();
  bool SendCounted(ApplyOutcome& outcome, uint8_t command, uint8_t byte2, uint8_t byte3);
  ApplyOutcome ApplyLocked();  // under applyMutex_

  DriverState& state_;
  HidPlatform& platform_;
  PointerSpeed& pointer_;
  WindowLink& window_;
  PromptBlinker blinker_;

  std::mutex applyMutex_;     // one apply at a time; guards the two flags below
  bool applied_ = false;      // an apply has run: a resume has something to apply again
  bool closed_ = false;       // ShutDown said goodbye to the mouse
  mutable std::mutex mutex_;  // guards the fields below
  std::condition_variable readHandleChanged_;
  std::atomic<bool> removalReported_{false};
  bool watching_ = false;
  std::string devicePath_;
  std::string openError_;
  std::shared_ptr<HidHandle> readHandle_;
  std::shared_ptr<HidHandle> featureHandle_;
  uint16_t inputReportLength_ = 0;
  uint16_t featureReportLength_ = 0;
};

}  // namespace kr450
