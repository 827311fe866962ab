#include "ui/skin_layout.h"

#include <span>

namespace kr450 {
namespace {

void ReadTable(SkinFiles& files, std::string_view fileName, std::span<SkinItem> table) {
  for (size_t i = 0; i < table.size(); ++i) {
    table[i] =
        SkinItemFromFields(files.ReadSkinEntry(fileName, SKIN_TABLE_SECTION, static_cast<int>(i)));
  }
}

ControlRect ReadControlRect(SkinFiles& files, std::string_view section, int key) {
  return ToControlRect(SkinItemFromFields(files.ReadSkinEntry(SKIN_ADVANCED_FILE, section, key)));
}

}  // namespace

SkinLayout ReadSkinLayout(SkinFiles& files) {
  SkinLayout layout;
  ReadTable(files, SKIN_MAIN_FILE, layout.main);
  for (size_t code = 1; code < FUNCTION_NAME_COUNT; ++code) {
    layout.functionNames[code] = CaptionFromFields(
        files.ReadSkinEntry(SKIN_MAIN_FILE, SKIN_FUNCTION_SECTION, static_cast<int>(code)));
  }
  ReadTable(files, SKIN_LIGHTING_FILE, layout.lighting);
  ReadTable(files, SKIN_ADVANCED_FILE, layout.advanced);
  layout.repeatCountField = ReadControlRect(files, SKIN_EDIT_SECTION, EDIT_REPEAT_COUNT_KEY);
  layout.nameField = ReadControlRect(files, SKIN_EDIT_SECTION, EDIT_NAME_KEY);
  layout.macroList = ReadControlRect(files, SKIN_LIST_SECTION, LIST_MACROS_KEY);
  layout.eventList = ReadControlRect(files, SKIN_LIST_SECTION, LIST_EVENTS_KEY);
  ReadTable(files, SKIN_WARNING_FILE, layout.warning);
  return layout;
}

std::string_view FunctionName(const SkinLayout& layout, FunctionCode code) {
  if (code < 0 || static_cast<size_t>(code) >= layout.functionNames.size()) return {};
  return layout.functionNames[static_cast<size_t>(code)];
}

}  // namespace kr450
