#include "device/report_descriptor.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

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
constexpr size_t LONG_ITEM_HEADER = 3;  // prefix, data size, long tag
constexpr size_t FOUR_BYTE_DATA = 4;

// Bounds that no real device comes near: they keep the sums below from overflowing.
constexpr uint32_t MAX_REPORT_SIZE_BITS = 0xFFFF;
constexpr uint32_t MAX_REPORT_COUNT = 0xFFFF;
constexpr size_t MAX_PUSH_DEPTH = 16;
constexpr uint64_t MAX_REPORT_BITS = uint64_t{0xFFFF} * 8;

// One short item: its type, tag and data, with the data's size in bytes (0, 1, 2 or 4).
struct Item {
  uint8_t type = 0;
  uint8_t tag = 0;
  size_t size = 0;
  uint32_t value = 0;
};

struct GlobalState {
  uint32_t usagePage = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

enum ReportKind { KIND_INPUT, KIND_OUTPUT, KIND_FEATURE, KIND_COUNT };

// Bits of each report (by id) of each kind within one top-level collection.
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

DescriptorCollection Finished(const CollectionBuilder& builder, bool usesIds) {
  DescriptorCollection collection;
  collection.usagePage = builder.usagePage;
  collection.usage = builder.usage;
  collection.inputReportLength = ByteLength(builder.bits[KIND_INPUT], usesIds);
  collection.outputReportLength = ByteLength(builder.bits[KIND_OUTPUT], usesIds);
  collection.featureReportLength = ByteLength(builder.bits[KIND_FEATURE], usesIds);
  if (usesIds) {
    for (const auto& [id, bits] : builder.bits[KIND_INPUT]) collection.inputReportIds.push_back(id);
  }
  return collection;
}

// Reads the items in order and keeps the state each kind of item changes. Every handler
// returns an empty string or why the bytes are not a descriptor.
class DescriptorParser {
 public:
  explicit DescriptorParser(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  DescriptorParseResult Parse() {
    while (pos_ < bytes_.size()) {
      Item item;
      std::string error = NextItem(item);
      if (error.empty()) error = Handle(item);
      if (!error.empty()) return {std::nullopt, std::move(error)};
    }
    if (depth_ != 0) return {std::nullopt, "collection not ended"};
    ReportDescriptor descriptor;
    descriptor.usesReportIds = usesIds_;
    for (const CollectionBuilder& builder : done_) {
      descriptor.collections.push_back(Finished(builder, usesIds_));
    }
    return {std::move(descriptor), {}};
  }

 private:
  // The item at pos_, which moves past it. A long item (reserved for vendors, never used by
  // the items read here) is skipped and given the reserved type, which changes nothing.
  std::string NextItem(Item& item) {
    const uint8_t prefix = bytes_[pos_];
    if (prefix == LONG_ITEM_PREFIX) return SkipLongItem(item);
    const size_t size = (prefix & 3) == 3 ? FOUR_BYTE_DATA : (prefix & 3);
    if (pos_ + 1 + size > bytes_.size()) return "truncated item";
    item = {static_cast<uint8_t>((prefix >> 2) & 3), static_cast<uint8_t>(prefix >> 4), size,
            ItemData(bytes_.subspan(pos_ + 1, size))};
    pos_ += 1 + size;
    return {};
  }

  std::string SkipLongItem(Item& item) {
    if (pos_ + 1 >= bytes_.size()) return "truncated long item";
    const size_t size = bytes_[pos_ + 1];
    if (pos_ + LONG_ITEM_HEADER + size > bytes_.size()) return "truncated long item";
    pos_ += LONG_ITEM_HEADER + size;
    item.type = RESERVED_TYPE;
    return {};
  }

  std::string Handle(const Item& item) {
    switch (item.type) {
      case GLOBAL:
        return OnGlobal(item);
      case LOCAL:
        OnLocal(item);
        return {};
      case MAIN:
        return OnMain(item);
      default:
        return {};
    }
  }

  std::string OnGlobal(const Item& item) {
    switch (item.tag) {
      case USAGE_PAGE:
        global_.usagePage = item.value & 0xFFFF;
        return {};
      case REPORT_SIZE:
        if (item.value > MAX_REPORT_SIZE_BITS) return "report size too large";
        global_.reportSize = item.value;
        return {};
      case REPORT_COUNT:
        if (item.value > MAX_REPORT_COUNT) return "report count too large";
        global_.reportCount = item.value;
        return {};
      case REPORT_ID:
        if (item.value == 0 || item.value > 0xFF) return "invalid report id";
        global_.reportId = static_cast<uint8_t>(item.value);
        usesIds_ = true;
        return {};
      case PUSH:
        if (stack_.size() >= MAX_PUSH_DEPTH) return "push too deep";
        stack_.push_back(global_);
        return {};
      case POP:
        if (stack_.empty()) return "pop without push";
        global_ = stack_.back();
        stack_.pop_back();
        return {};
      default:
        return {};
    }
  }

  // Only the first usage since the last main item counts, as written. A one- or two-byte
  // usage takes the usage page in effect at the main item (as the kernel's and Windows' HID
  // parsers do), so a page set after it still counts; a four-byte one carries its own page.
  void OnLocal(const Item& item) {
    if (item.tag != USAGE || haveUsage_) return;
    usageHasPage_ = item.size == FOUR_BYTE_DATA;
    firstUsage_ = usageHasPage_ ? item.value : item.value & 0xFFFF;
    haveUsage_ = true;
  }

  std::string OnMain(const Item& item) {
    std::string error;
    switch (item.tag) {
      case COLLECTION:
        OnCollection();
        break;
      case END_COLLECTION:
        error = OnEndCollection();
        break;
      case INPUT:
        OnReport(KIND_INPUT);
        break;
      case OUTPUT:
        OnReport(KIND_OUTPUT);
        break;
      case FEATURE:
        OnReport(KIND_FEATURE);
        break;
      default:
        break;
    }
    haveUsage_ = false;  // a main item ends the local state
    return error;
  }

  void OnCollection() {
    if (depth_++ != 0) return;  // only top-level collections are listed
    uint32_t usage = global_.usagePage << 16;
    if (haveUsage_) usage = usageHasPage_ ? firstUsage_ : usage | firstUsage_;
    current_ = CollectionBuilder{
        static_cast<uint16_t>(usage >> 16), static_cast<uint16_t>(usage & 0xFFFF), {}};
  }

  std::string OnEndCollection() {
    if (depth_ == 0) return "end collection without collection";
    if (--depth_ == 0 && current_) {
      done_.push_back(std::move(*current_));
      current_.reset();
    }
    return {};
  }

  // Items outside a top-level collection belong to none and are not counted.
  void OnReport(ReportKind kind) {
    if (!current_) return;
    uint64_t& bits = current_->bits[kind][global_.reportId];
    bits = std::min<uint64_t>(bits + uint64_t{global_.reportSize} * global_.reportCount,
                              MAX_REPORT_BITS);
  }

  static constexpr uint8_t RESERVED_TYPE = 3;

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  GlobalState global_;
  std::vector<GlobalState> stack_;
  bool haveUsage_ = false;
  bool usageHasPage_ = false;
  uint32_t firstUsage_ = 0;
  bool usesIds_ = false;
  int depth_ = 0;
  std::optional<CollectionBuilder> current_;
  std::vector<CollectionBuilder> done_;
};

}  // namespace

DescriptorParseResult ParseReportDescriptor(std::span<const uint8_t> bytes) {
  return DescriptorParser(bytes).Parse();
}

}  // namespace kr450
