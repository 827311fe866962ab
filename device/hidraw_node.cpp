#include "device/hidraw_node.h"

#include <algorithm>
#include <charconv>

namespace kr450 {
namespace {

bool ParseHex(std::string_view text, uint32_t* value) {
  if (text.empty() || text.size() > 8) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value, 16);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<HidIds> ParseHidId(std::string_view text) {
  const size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  HidIds ids;
  if (!ParseHex(text.substr(0, first), &ids.bus) ||
      !ParseHex(text.substr(first + 1, second - first - 1), &ids.vendorId) ||
      !ParseHex(text.substr(second + 1), &ids.productId)) {
    return std::nullopt;
  }
  return ids;
}

std::vector<HidCollectionInfo> CollectionsOfNode(const HidrawNode& node,
                                                 std::span<const uint8_t> descriptor) {
  HidCollectionInfo base;
  base.path = node.path;
  base.vendorId = node.vendorId;
  base.productId = node.productId;
  base.accessible = base.readable = base.writable = node.accessible;
  base.error = node.error;

  const Result<ReportDescriptor> parsed = ParseReportDescriptor(descriptor);
  if (!parsed || parsed->collections.empty()) {
    HidCollectionInfo unreadable = base;
    const std::string why = parsed ? "no top-level collection" : parsed.message();
    unreadable.error = (base.error.empty() ? "" : base.error + "; ") + "report descriptor: " + why;
    return {unreadable};
  }
  std::vector<HidCollectionInfo> entries;
  int index = 0;
  for (const DescriptorCollection& c : parsed->collections) {
    HidCollectionInfo entry = base;
    entry.collection = index++;
    entry.usagePage = c.usagePage;
    entry.usage = c.usage;
    entry.inputReportLength = c.inputReportLength;
    entry.outputReportLength = c.outputReportLength;
    entry.featureReportLength = c.featureReportLength;
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool ReportBelongsTo(const DescriptorCollection& collection, bool usesReportIds,
                     std::span<const uint8_t> report) {
  if (!usesReportIds) return true;
  if (report.empty()) return false;
  const auto& ids = collection.inputReportIds;
  return std::binary_search(ids.begin(), ids.end(), report[0]);
}

}  // namespace kr450
