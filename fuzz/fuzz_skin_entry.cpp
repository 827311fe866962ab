// Skin values as they come out of a layout file: split at the commas, read as an item and as a
// caption, and the same bytes read as a whole layout file through the profile reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/ini_file.h"
#include "ui/skin_entry.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void SplitAndCheck(std::string_view value) {
  const kr450::SkinEntryFields entry = kr450::SplitSkinEntry(value);
  size_t commas = 0;
  for (char c : value) commas += c == ',';
  Check(entry.tooManyCommas == (commas > 6));
  // Fields 1..6 hold no comma; joined with six commas they give the value back, followed by
  // one comma for each comma the value lacks.
  std::string joined = entry.fields[0];
  for (size_t k = 1; k < entry.fields.size(); ++k) joined += "," + entry.fields[k];
  Check(joined == std::string(value) + std::string(6 - std::min<size_t>(commas, 6), ','));
  for (size_t k = 0; k < 6; ++k) Check(entry.fields[k].find(',') == std::string::npos);
  for (size_t k = commas + 1; k < entry.fields.size(); ++k) Check(entry.fields[k].empty());
  const kr450::SkinItem item = kr450::SkinItemFromFields(entry);
  Check(item.text == entry.fields[5]);
  Check(kr450::CaptionFromFields(entry) == entry.fields[0]);
  (void)kr450::ToControlRect(item);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SplitAndCheck(bytes);
  const kr450::IniDocument document = kr450::IniDocument::FromBytes(bytes);
  for (const char* key : {"0", "1", "3", "79"}) {
    SplitAndCheck(document.Get("BUTTONPOS", key, kr450::SKIN_VALUE_CAPACITY));
  }
  return 0;
}
