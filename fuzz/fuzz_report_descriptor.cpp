// Report descriptors come from whatever device is plugged in: the parser and the per-node
// listing must take any bytes. The last bytes double as an input report to classify.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/hidraw_node.h"
#include "device/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const kr450::Result<kr450::ReportDescriptor> parsed = kr450::ParseReportDescriptor(bytes);
  if (parsed) {
    const std::span<const uint8_t> report = bytes.last(size < 8 ? size : 8);
    for (const kr450::DescriptorCollection& c : parsed->collections) {
      (void)kr450::ReportBelongsTo(c, parsed->usesReportIds, report);
    }
  }
  const kr450::HidrawNode node{"/dev/hidraw0", 0x18F8, 0x0F99, true, ""};
  (void)kr450::CollectionsOfNode(node, bytes);
  return 0;
}
