#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "config/driver_state.h"
#include "device/hid_platform.h"

namespace kr450 {

// The mouse's two vendor collections.
inline constexpr uint16_t INPUT_USAGE_PAGE = 0xFF00;
inline constexpr uint16_t FEATURE_USAGE_PAGE = 0xFF01;
inline constexpr uint16_t VENDOR_USAGE = 1;
// The search looks at no more collections than this.
inline constexpr int MAX_HID_COLLECTIONS = 100;

// The feature collection as it is now: where reports go and how long they are.
struct FeatureChannel {
  std::shared_ptr<HidHandle> handle;  // empty when none is open
  uint16_t length = 0;
};

// Finding and opening the mouse: the search of the enumeration, the open input and feature
// collections with their report lengths, and the input reader's wait for an input collection.
// Any thread; no call blocks beyond the platform's enumeration and opens, except
// WaitForReadHandle.
class DeviceConnection {
 public:
  DeviceConnection(DriverState& state, HidPlatform& platform);

  // Searches the enumeration for the mouse and opens its input collection for reading and its
  // feature collection for writing. True when both were found and opened (also stored in
  // state.deviceFound); otherwise neither stays open. `mouseSeen` is called whenever a
  // collection with the mouse's ids is met, before anything is opened.
  bool Open(const std::function<void()>& mouseSeen);

  // Whether a path is the mouse's (compared without regard to case).
  bool IsMousePath(std::string_view path) const;
  // Drops the read handle when it is `handle` (the reader found the mouse gone on it). False
  // for an older handle: the current one is fine.
  bool ForgetReadHandle(const std::shared_ptr<HidHandle>& handle);

  FeatureChannel Feature() const;
  std::string DevicePath() const;
  uint16_t InputReportLength() const;
  uint16_t FeatureReportLength() const;
  // Why the last Open failed to open a collection of the mouse ("" when it did not).
  std::string OpenError() const;

  // For the input reader: blocks until an input collection is open and returns it, or returns
  // nothing once state.shutdownRequested is set and WakeReader() was called.
  std::shared_ptr<HidHandle> WaitForReadHandle();
  // Wakes a reader blocked in WaitForReadHandle or in a read (at shutdown).
  void WakeReader();

 private:
  DriverState& state_;
  HidPlatform& platform_;
  mutable std::mutex mutex_;  // guards the fields below
  std::condition_variable readHandleChanged_;
  std::string devicePath_;
  std::string openError_;
  std::shared_ptr<HidHandle> readHandle_;
  std::shared_ptr<HidHandle> featureHandle_;
  uint16_t inputReportLength_ = 0;
  uint16_t featureReportLength_ = 0;
};

}  // namespace kr450
