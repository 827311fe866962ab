#pragma once

#include <memory>

#include "device/hid_platform.h"

namespace kr450 {

// The system's HID devices through udev and the kernel's hidraw nodes: enumeration of the
// hidraw nodes with one entry per top-level collection of each node's report descriptor,
// feature reports with HIDIOCSFEATURE, reads that an eventfd can wake, hot-plug from a udev
// monitor. Works without any hidraw node (an empty enumeration) and without udev events.
std::unique_ptr<HidPlatform> MakeHidrawPlatform();

}  // namespace kr450
