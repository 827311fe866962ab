#include "macro/macro_record.h"

#include <algorithm>

#include "config/utf.h"

namespace kr450 {

std::span<const uint8_t, MACRO_RECORD_IMAGE_SIZE> RecordImage(const MacroRecord& record) {
  return std::span<const uint8_t, MACRO_RECORD_IMAGE_SIZE>(
      reinterpret_cast<const uint8_t*>(&record), MACRO_RECORD_IMAGE_SIZE);
}

std::span<uint8_t, MACRO_RECORD_IMAGE_SIZE> RecordImage(MacroRecord& record) {
  return std::span<uint8_t, MACRO_RECORD_IMAGE_SIZE>(reinterpret_cast<uint8_t*>(&record),
                                                     MACRO_RECORD_IMAGE_SIZE);
}

std::u16string MacroName(const MacroRecord& record) {
  std::u16string name;
  for (int i = 0; i < MACRO_NAME_MAX_LENGTH; ++i) {
    const size_t at = size_t{2} * static_cast<size_t>(i);
    char16_t unit = static_cast<char16_t>(record.name[at] | record.name[at + 1] << 8);
    if (unit == 0) break;
    name.push_back(unit);
  }
  return name;
}

std::string MacroNameUtf8(const MacroRecord& record) {
  std::u16string name = MacroName(record);
  std::string bytes;
  for (char16_t unit : name) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return DecodeUtf16Le(bytes);
}

void SetMacroName(MacroRecord& record, std::u16string_view name) {
  size_t length = std::min<size_t>(name.size(), MACRO_NAME_MAX_LENGTH);
  // Cutting between a high and a low surrogate would leave half a character.
  if (length < name.size() && length > 0 && name[length - 1] >= 0xD800 &&
      name[length - 1] <= 0xDBFF) {
    --length;
  }
  record.name.fill(0);
  for (size_t i = 0; i < length; ++i) {
    record.name[2 * i] = static_cast<uint8_t>(name[i] & 0xFF);
    record.name[2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
  }
}

void SetMacroNameUtf8(MacroRecord& record, std::string_view utf8) {
  std::string bytes = EncodeUtf16Le(utf8);
  std::u16string name;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    name.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  SetMacroName(record, name);
}

MacroRecord NewMacro(std::u16string_view name) {
  MacroRecord record;
  SetMacroName(record, name);
  record.SetRepeatCount(1);
  return record;
}

}  // namespace kr450
