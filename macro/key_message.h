#pragma once

#include <cstdint>

namespace kr450 {

// The kinds of key message the recorder takes, numbered as the Windows keyboard messages so
// that a capture on any platform hands over what a low-level keyboard hook would.
enum class KeyMessage : uint32_t {
  KeyDown = 0x0100,     // WM_KEYDOWN
  KeyUp = 0x0101,       // WM_KEYUP
  SysKeyDown = 0x0104,  // WM_SYSKEYDOWN: a key goes down while Alt is held, or F10
  SysKeyUp = 0x0105,    // WM_SYSKEYUP
};

constexpr bool IsKeyDown(KeyMessage message) {
  return message == KeyMessage::KeyDown || message == KeyMessage::SysKeyDown;
}

// One key stroke as the capture delivers it: the message kind and the Windows virtual-key
// code (left and right Shift, Control and Alt as 160..165).
struct KeyStroke {
  KeyMessage message = KeyMessage::KeyDown;
  uint32_t vk = 0;
  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// Virtual-key codes the recorder and the captures name.
inline constexpr uint32_t VK_RETURN_KEY = 0x0D;
inline constexpr uint32_t VK_ESCAPE_KEY = 0x1B;
inline constexpr uint32_t VK_F10_KEY = 0x79;

}  // namespace kr450
