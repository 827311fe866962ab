#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/hid_platform.h"
#include "device/report_descriptor.h"

namespace kr450 {

// What the hidraw backend learns about one node before it looks at the descriptor.
struct HidrawNode {
  std::string path;  // "/dev/hidrawN"
  uint32_t vendorId = 0;
  uint32_t productId = 0;
  bool accessible = true;
  std::string error;  // why it cannot be opened
};

struct HidIds {
  uint32_t bus = 0;
  uint32_t vendorId = 0;
  uint32_t productId = 0;
};

// The HID_ID property of a HID device in udev and sysfs: "bus:vendor:product" in hex, for
// example "0003:000018F8:00000F99". Nothing when it is not of that form.
std::optional<HidIds> ParseHidId(std::string_view text);

// One entry per top-level collection of the node, lengths from the descriptor; a node that is
// not accessible is also neither readable nor writable (the caller knows better, if it does). A
// descriptor that cannot be parsed, or one without collections, gives one entry with usage page and
// usage 0 and the reason in `error`, so the node is still listed.
std::vector<HidCollectionInfo> CollectionsOfNode(const HidrawNode& node,
                                                 std::span<const uint8_t> descriptor);

// Whether a report read from a node belongs to a collection: a node delivers the input
// reports of all its collections, told apart by their report ids.
bool ReportBelongsTo(const DescriptorCollection& collection, bool usesReportIds,
                     std::span<const uint8_t> report);

}  // namespace kr450
