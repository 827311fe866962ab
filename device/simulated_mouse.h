#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_platform.h"

namespace kr450 {

// A virtual KR-450 that behaves as the real one does, behind the HidPlatform interface. Used
// by the tests and by --simulate.
//
// The mouse has one node holding its two vendor collections:
//   input   usage page 0xFF00, usage 1, report id 6 with 7 data bytes: input length 8;
//   feature usage page 0xFF01, usage 1, report id 7 with 8 data bytes: feature length 9.
// Other devices can be put before it in the enumeration. It keeps what the feature reports
// told it, and turns a press and a release of its key k into the input reports (6, 240 + k)
// and (6, 0) when key k was given device function 31; other keys report nothing to the
// driver. It can be unplugged and plugged in again; sends and reads can be made to fail.
//
// Thread-safe: the driver's threads use it while a test presses keys or unplugs it. Arrival
// and removal events are delivered on the thread that calls Plug() / Unplug().
class SimulatedMouse final : public HidPlatform {
 public:
  static constexpr uint16_t INPUT_REPORT_LENGTH = 8;
  static constexpr uint16_t FEATURE_REPORT_LENGTH = 9;
  static constexpr uint8_t INPUT_REPORT_ID = 6;
  static constexpr uint8_t FEATURE_REPORT_ID = 7;
  static constexpr const char* DEFAULT_PATH = "/dev/hidraw-sim-kr450";
  static constexpr int KEY_COUNT = 6;

  enum class Collection { Input, Feature };

  explicit SimulatedMouse(std::string path = DEFAULT_PATH);
  ~SimulatedMouse() override;

  // HidPlatform.
  std::vector<HidCollectionInfo> Enumerate() override;
  Result<std::shared_ptr<HidHandle>> Open(const HidCollectionInfo& collection,
                                          HidAccess access) override;
  bool WatchDevices(HidEventHandler handler) override;
  void StopWatching() override;

  // Set-up. Other collections are listed before the mouse's, in the order added; opening them
  // gives a handle that accepts everything and never reports.
  void AddCollectionBefore(const HidCollectionInfo& other);
  // Leaves one of the mouse's collections out of the enumeration.
  void RemoveCollection(Collection which);
  // Opening the mouse's node fails with "Permission denied", and the enumeration says so.
  void SetAccessDenied(bool denied);
  const std::string& path() const { return path_; }
  HidCollectionInfo Info(Collection which) const;

  // Hot-plug: removal ends every open handle's reads and sends and tells the watcher.
  void Unplug();
  void Plug();
  // While false, Unplug and Plug tell no watcher, as on a system whose hot-plug events are
  // lost or cannot be watched; open handles still see the removal.
  void SetHotplugEvents(bool deliver);

  // Failures: sends return false / reads return Error while set.
  void SetFailSends(bool fail);
  void SetFailReads(bool fail);

  // The user presses or releases key 1..6.
  void PressKey(int key);
  void ReleaseKey(int key);
  // Any input report, as if the mouse had sent it.
  void InjectInputReport(const std::vector<uint8_t>& report);

  // What the mouse received and keeps.
  std::vector<std::vector<uint8_t>> FeatureReports() const;  // every report accepted, in order
  void ClearFeatureReports();
  uint8_t KeyFunction(int key) const;  // device function of key 1..6 (k until told otherwise)
  uint8_t Wheel() const;
  uint8_t StageLevel() const;
  uint8_t StageAndLight() const;
  bool ExitReceived() const;
  // Handles currently open for reading (a reader waits on one of them).
  int OpenReadHandles() const;

 private:
  class Handle;
  friend class Handle;

  bool Send(std::span<const uint8_t> report);
  void Deliver(const std::vector<uint8_t>& report);
  void Emit(const HidDeviceEvent& event);
  std::vector<HidCollectionInfo> MouseCollections() const;

  const std::string path_;
  mutable std::mutex mutex_;
  std::condition_variable reportArrived_;
  std::vector<HidCollectionInfo> others_;
  bool hasInput_ = true;
  bool hasFeature_ = true;
  bool present_ = true;
  bool accessDenied_ = false;
  bool failSends_ = false;
  bool failReads_ = false;
  bool hotplugEvents_ = true;
  uint64_t plugGeneration_ = 0;  // handles opened before an unplug stay dead
  std::vector<Handle*> readers_;
  std::vector<std::vector<uint8_t>> featureReports_;
  std::array<uint8_t, KEY_COUNT + 1> keyFunction_{};
  uint8_t wheel_ = 0;
  uint8_t stageLevel_ = 0;
  uint8_t stageAndLight_ = 0;
  bool exitReceived_ = false;

  std::mutex handlerMutex_;  // held while the handler runs, so StopWatching can wait for it
  HidEventHandler handler_;
};

}  // namespace kr450
