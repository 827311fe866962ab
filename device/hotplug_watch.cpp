#include "device/hotplug_watch.h"

namespace kr450 {

HotplugWatch::~HotplugWatch() {
  bool watching = false;
  {
    std::lock_guard lock(mutex_);
    watching = watching_;
  }
  if (watching) platform_.StopWatching();
}

void HotplugWatch::StartOnce() {
  {
    std::lock_guard lock(mutex_);
    if (watching_) return;
    watching_ = true;
  }
  platform_.WatchDevices([this](const HidDeviceEvent& event) { OnDeviceChange(event); });
}

void HotplugWatch::OnDeviceChange(const HidDeviceEvent& event) {
  if (!connection_.IsMousePath(event.path)) return;
  if (event.kind == HidEventKind::Arrival) {
    if (!state_.deviceFound.load()) connection_.Open({});  // already watching
    return;
  }
  EndOnRemoval();
}

void HotplugWatch::OnReadHandleRemoved(const std::shared_ptr<HidHandle>& handle) {
  if (connection_.ForgetReadHandle(handle)) EndOnRemoval();
}

void HotplugWatch::EndOnRemoval() {
  state_.deviceFound.store(false);
  if (!removalReported_.exchange(true)) window_.RequestShutdown();
}

}  // namespace kr450
