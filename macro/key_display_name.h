#pragma once

#include <cstdint>
#include <string_view>

namespace kr450 {

// What the event list shows for a key code: the letter or digit, the name of the Windows
// virtual-key constant without its prefix, the characters of a punctuation key, the mouse
// button, or "不可录制" (cannot be recorded) for every other code.
std::string_view KeyDisplayName(uint8_t keyCode);

}  // namespace kr450
