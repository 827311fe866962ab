#include "device/device_link.h"

#include "device/feature_report.h"

namespace kr450 {

DeviceLink::DeviceLink(DriverState& state, HidPlatform& platform, PointerSpeed& pointer,
                       WindowLink& window, StoppableClock& clock)
    : pointer_(pointer),
      connection_(state, platform),
      reports_(connection_),
      prompt_(state, window, clock),
      apply_(state, reports_, pointer, window, prompt_),
      sequence_(state, apply_),
      hotplug_(state, platform, connection_, window) {}

bool DeviceLink::OpenDevice() {
  return connection_.Open([this] { hotplug_.StartOnce(); });
}

void DeviceLink::ShutDown() {
  sequence_.Close();  // a resume apply under way ends first
  if (reports_.CanSend()) SendFeatureReport(CMD_DRIVER_EXIT, 0, 0);
  pointer_.SetPointerSpeed(DEFAULT_POINTER_SPEED);
}

}  // namespace kr450
