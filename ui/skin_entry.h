#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "ui/skin_item.h"

namespace kr450 {

// The profile reader's buffer holds 260 characters, so at most 259 of a value are used.
inline constexpr size_t SKIN_VALUE_CAPACITY = 259;

// Fields 1 to 7 of one skin value (fields[0] is field 1).
struct SkinEntryFields {
  std::array<std::string, 7> fields;
  bool tooManyCommas = false;  // more than six commas: the file is not in the item format
};

// Splits one value at its commas. Fields 1 to 6 are the texts between consecutive commas,
// field 7 everything after the sixth comma, further commas included. A value with fewer
// commas fills the first fields and leaves the rest empty; without a comma the whole value
// is field 1. Joining the seven fields with commas always gives the value back.
SkinEntryFields SplitSkinEntry(std::string_view value);

// Item format "name,x,y,width,height,caption,rest": x, y, width and height are decimal
// (leading blanks, sign, digits up to the first other character; none gives 0), the caption
// is field 6 unchanged.
SkinItem SkinItemFromFields(const SkinEntryFields& entry);

// Caption format (FUN_STRING): the text before the first comma.
std::string CaptionFromFields(const SkinEntryFields& entry);

}  // namespace kr450
