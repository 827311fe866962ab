#include "device/report_descriptor.h"

#include <algorithm>
#include <array>
#include <map>

namespace kr450 {
namespace {

// Item types and tags of the HID short item format.
enum ItemType : uint8_t { MAIN = 0, GLOBAL = 1, LOCAL = 2 };
enum MainTag : uint8_t {
  INPUT = 8,
  OUTPUT = 9,
  COLLECTION = 10,
  FEATURE = 11,
  END_COLLECTION = 12
};
enum GlobalTag : uint8_t {
  USAGE_PAGE = 0,
  REPORT_SIZE = 7,
  REPORT_ID = 8,
  REPORT_COUNT = 9,
  PUSH = 10,
  POP = 11
};
enum LocalTag : uint8_t { USAGE = 0 };
constexpr uint8_t LONG_ITEM_PREFIX = 0xFE;

// Bounds that no real device comes near: they keep the sums below from overflowing.
constexpr uint32_t MAX_REPORT_SIZE_BITS = 0xFFFF;
constexpr uint32_t MAX_REPORT_COUNT = 0xFFFF;
constexpr size_t MAX_PUSH_DEPTH = 16;
constexpr uint64_t MAX_REPORT_BITS = uint64_t{0xFFFF} * 8;

struct GlobalState {
  uint32_t usagePage = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

enum ReportKind { KIND_INPUT, KIND_OUTPUT, KIND_FEATURE, KIND_COUNT };

// Bits of each report (by id) of each kind within the current top-level collection.
struct CollectionBuilder {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  std::array<std::map<uint8_t, uint64_t>, KIND_COUNT> bits;
};

uint32_t ItemData(std::span<const uint8_t> data) {
  uint32_t value = 0;
  for (size_t i = 0; i < data.size(); ++i) value |= uint32_t{data[i]} << (8 * i);
  return value;
}

uint16_t ByteLength(const std::map<uint8_t, uint64_t>& reports, bool usesIds) {
  if (reports.empty()) return 0;
  uint64_t largest = 0;
  for (const auto& [id, bits] : reports) largest = std::max(largest, bits);
  const uint64_t bytes = (largest + 7) / 8 + (usesIds ? 1 : 0);
  return static_cast<uint16_t>(std::min<uint64_t>(bytes, 0xFFFF));
}

}  // namespace

DescriptorParseResult ParseReportDescriptor(std::span<const uint8_t> bytes) {
  GlobalState global;
  std::vector<GlobalState> stack;
  // Local state: the first usage since the last main item, as written. A one- or two-byte
  // usage takes the usage page in effect at the main item (as the kernel's and Windows' HID
  // parsers do), so a page set after it still counts; a four-byte one carries its own page.
  bool haveUsage = false;
  bool usageHasPage = false;
  uint32_t firstUsage = 0;
  bool usesIds = false;
  int depth = 0;
  std::optional<CollectionBuilder> current;
  std::vector<CollectionBuilder> done;

  size_t pos = 0;
  while (pos < bytes.size()) {
    const uint8_t prefix = bytes[pos];
    if (prefix == LONG_ITEM_PREFIX) {
      if (pos + 1 >= bytes.size()) return {std::nullopt, "truncated long item"};
      const size_t size = bytes[pos + 1];
      if (pos + 3 + size > bytes.size()) return {std::nullopt, "truncated long item"};
      pos += 3 + size;
      continue;
    }
    const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (pos + 1 + size > bytes.size()) return {std::nullopt, "truncated item"};
    const uint32_t value = ItemData(bytes.subspan(pos + 1, size));
    const uint8_t type = (prefix >> 2) & 3;
    const uint8_t tag = prefix >> 4;
    pos += 1 + size;

    if (type == GLOBAL) {
      switch (tag) {
        case USAGE_PAGE:
          global.usagePage = value & 0xFFFF;
          break;
        case REPORT_SIZE:
          if (value > MAX_REPORT_SIZE_BITS) return {std::nullopt, "report size too large"};
          global.reportSize = value;
          break;
        case REPORT_COUNT:
          if (value > MAX_REPORT_COUNT) return {std::nullopt, "report count too large"};
          global.reportCount = value;
          break;
        case REPORT_ID:
          if (value == 0 || value > 0xFF) return {std::nullopt, "invalid report id"};
          global.reportId = static_cast<uint8_t>(value);
          usesIds = true;
          break;
        case PUSH:
          if (stack.size() >= MAX_PUSH_DEPTH) return {std::nullopt, "push too deep"};
          stack.push_back(global);
          break;
        case POP:
          if (stack.empty()) return {std::nullopt, "pop without push"};
          global = stack.back();
          stack.pop_back();
          break;
        default:
          break;
      }
    } else if (type == LOCAL) {
      if (tag == USAGE && !haveUsage) {
        usageHasPage = size == 4;
        firstUsage = usageHasPage ? value : value & 0xFFFF;
        haveUsage = true;
      }
    } else if (type == MAIN) {
      switch (tag) {
        case COLLECTION:
          if (depth == 0) {
            uint32_t usage = global.usagePage << 16;
            if (haveUsage) usage = usageHasPage ? firstUsage : usage | firstUsage;
            current = CollectionBuilder{
                static_cast<uint16_t>(usage >> 16), static_cast<uint16_t>(usage & 0xFFFF), {}};
          }
          ++depth;
          break;
        case END_COLLECTION:
          if (depth == 0) return {std::nullopt, "end collection without collection"};
          if (--depth == 0 && current) {
            done.push_back(std::move(*current));
            current.reset();
          }
          break;
        case INPUT:
        case OUTPUT:
        case FEATURE:
          if (current) {
            const ReportKind kind = tag == INPUT    ? KIND_INPUT
                                    : tag == OUTPUT ? KIND_OUTPUT
                                                    : KIND_FEATURE;
            uint64_t& bits = current->bits[kind][global.reportId];
            bits = std::min<uint64_t>(bits + uint64_t{global.reportSize} * global.reportCount,
                                      MAX_REPORT_BITS);
          }
          break;
        default:
          break;
      }
      haveUsage = false;
    }
  }
  if (depth != 0) return {std::nullopt, "collection not ended"};

  ReportDescriptor descriptor;
  descriptor.usesReportIds = usesIds;
  for (const CollectionBuilder& builder : done) {
    DescriptorCollection collection;
    collection.usagePage = builder.usagePage;
    collection.usage = builder.usage;
    collection.inputReportLength = ByteLength(builder.bits[KIND_INPUT], usesIds);
    collection.outputReportLength = ByteLength(builder.bits[KIND_OUTPUT], usesIds);
    collection.featureReportLength = ByteLength(builder.bits[KIND_FEATURE], usesIds);
    if (usesIds) {
      for (const auto& [id, bits] : builder.bits[KIND_INPUT])
        collection.inputReportIds.push_back(id);
    }
    descriptor.collections.push_back(std::move(collection));
  }
  return {std::move(descriptor), {}};
}

}  // namespace kr450
