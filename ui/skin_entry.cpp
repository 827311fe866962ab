#include "ui/skin_entry.h"

#include <algorithm>
#include <limits>

#include "config/decimal.h"

namespace kr450 {

SkinEntryFields SplitSkinEntry(std::string_view value) {
  SkinEntryFields entry;
  entry.tooManyCommas = std::count(value.begin(), value.end(), ',') > 6;
  size_t start = 0;
  for (size_t k = 0; k < 6; ++k) {
    const size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) {
      entry.fields[k] = std::string(value.substr(start));
      return entry;
    }
    entry.fields[k] = std::string(value.substr(start, comma - start));
    start = comma + 1;
  }
  entry.fields[6] = std::string(value.substr(start));
  return entry;
}

SkinItem SkinItemFromFields(const SkinEntryFields& entry) {
  SkinItem item;
  item.x = ParseDecimal(entry.fields[1]);
  item.y = ParseDecimal(entry.fields[2]);
  item.width = ParseDecimal(entry.fields[3]);
  item.height = ParseDecimal(entry.fields[4]);
  item.text = entry.fields[5];
  return item;
}

std::string CaptionFromFields(const SkinEntryFields& entry) {
  return entry.fields[0];
}

namespace {
int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}
}  // namespace

ControlRect ToControlRect(const SkinItem& item) {
  return {item.x, item.y, Saturate(item.right()), Saturate(item.bottom())};
}

}  // namespace kr450
