#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/status.h"

namespace kr450 {

// One top-level collection of a HID report descriptor, as the HID parser sees it.
struct DescriptorCollection {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  // Largest report of each kind in bytes, plus one for the report id when the descriptor uses
  // report ids; 0 when the collection has none of that kind.
  uint16_t inputReportLength = 0;
  uint16_t outputReportLength = 0;
  uint16_t featureReportLength = 0;
  std::vector<uint8_t> inputReportIds;  // ids of its input reports, ascending; empty without ids

  friend bool operator==(const DescriptorCollection&, const DescriptorCollection&) = default;
};

struct ReportDescriptor {
  bool usesReportIds = false;
  std::vector<DescriptorCollection> collections;
};

// Parses a report descriptor (the bytes a device gives for HIDIOCGRDESC or its sysfs
// report_descriptor); an error says why the bytes are not a descriptor. Never reads outside
// `bytes`; every size is bounded, so descriptor bytes from any device are safe. Items outside a
// top-level collection are ignored.
Result<ReportDescriptor> ParseReportDescriptor(std::span<const uint8_t> bytes);

}  // namespace kr450
