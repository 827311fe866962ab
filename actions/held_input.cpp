#include "actions/held_input.h"

#include <algorithm>

#include "actions/key_table.h"
#include "macro/macro_record.h"

namespace kr450 {

MouseButton MouseButtonForKeyCode(uint8_t keyCode) {
  if (keyCode == KEY_MOUSE_LEFT) return MouseButton::Left;
  if (keyCode == KEY_MOUSE_RIGHT) return MouseButton::Right;
  return MouseButton::Middle;
}

uint8_t HeldCodeFor(uint8_t keyCode) {
  return keyCode > KEY_MOUSE_MIDDLE ? KEY_MOUSE_MIDDLE : keyCode;
}

void SendKey(InputSynth& input, uint8_t vk, bool down) {
  uint32_t flags = (IsExtendedKey(vk) ? KEY_FLAG_EXTENDED : 0) | (down ? 0 : KEY_FLAG_UP);
  input.KeyEvent(vk, ScanCodeFor(vk), flags);
}

void HeldInput::Press(uint8_t keyCode) {
  uint8_t code = HeldCodeFor(keyCode);
  if (std::find(held_.begin(), held_.end(), code) == held_.end()) held_.push_back(code);
}

void HeldInput::Release(uint8_t keyCode) {
  std::erase(held_, HeldCodeFor(keyCode));
}

void HeldInput::ReleaseAll(InputSynth& input) {
  for (auto it = held_.rbegin(); it != held_.rend(); ++it) {
    if (*it >= KEY_MOUSE_LEFT) {
      input.MouseButtonEvent(MouseButtonForKeyCode(*it), false);
    } else {
      SendKey(input, *it, false);
    }
  }
  held_.clear();
}

}  // namespace kr450
