#pragma once

#include <functional>
#include <mutex>
#include <span>

#include "device/hid_platform.h"

namespace kr450 {

// A HidPlatform that shows every feature report as it is sent (--trace) and passes
// everything on to the platform it wraps. The observer is called before the report goes to
// the device, one call at a time even when several threads send.
class TracingHidPlatform final : public HidPlatform {
 public:
  using FeatureObserver = std::function<void(std::span<const uint8_t> report)>;

  TracingHidPlatform(HidPlatform& inner, FeatureObserver onFeatureReport);

  std::vector<HidCollectionInfo> Enumerate() override { return inner_.Enumerate(); }
  Result<std::shared_ptr<HidHandle>> Open(const HidCollectionInfo& collection,
                                          HidAccess access) override;
  bool WatchDevices(HidEventHandler handler) override;
  void StopWatching() override { inner_.StopWatching(); }

 private:
  class Handle;

  HidPlatform& inner_;
  FeatureObserver observer_;
  std::mutex observerMutex_;
};

}  // namespace kr450
