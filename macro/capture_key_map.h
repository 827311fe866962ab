#pragma once

// How the keyboard captures turn the platform's keys into what a Windows keyboard reports:
// virtual-key codes (Shift, Control and Alt told apart as left and right, 160..165) and the
// message kinds of a low-level keyboard hook. No platform headers: the X11 capture and the
// window's own key filter both use it.

#include <array>
#include <cstdint>

#include "macro/key_message.h"

namespace kr450 {

// The virtual key at a Linux input key code (KEY_*), by the project's key table; 0 for a key
// without one. Shift, Control and Alt give their left or right codes.
uint8_t VirtualKeyForLinuxKey(uint16_t linuxKey);

// The virtual key of a letter or digit that a key types ('a', 'Q', '7'), or 0 for any other
// character. Letters and digits follow the keyboard layout, as on Windows.
uint8_t VirtualKeyForCharacter(char32_t character);

// With Num Lock off the keypad's digits and decimal point report their navigation keys.
uint8_t KeypadWithoutNumLock(uint8_t vk);

// The message kinds a Windows hook sees: a key going down while Alt is held (Control not), or
// F10, is a system key; so is its release while Alt is still held. Alt's own release is a
// plain key-up.
class KeyMessageClassifier {
 public:
  KeyMessage Classify(uint8_t vk, bool down);
  void Reset() { held_ = {}; }

 private:
  bool Held(uint8_t vk) const { return held_[vk]; }
  std::array<bool, 256> held_{};
};

}  // namespace kr450
