#include "macro/capture_key_map.h"

#include "actions/key_table.h"

namespace kr450 {
namespace {

constexpr uint8_t VK_LSHIFT = 0xA0;
constexpr uint8_t VK_RMENU = 0xA5;
constexpr uint8_t VK_LCONTROL = 0xA2;
constexpr uint8_t VK_RCONTROL = 0xA3;
constexpr uint8_t VK_LMENU = 0xA4;
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint16_t LINUX_KEY_KPENTER = 96;  // KEY_KPENTER: the key table sends Enter elsewhere

struct KeypadPair {
  uint8_t numpad;
  uint8_t navigation;
};
// NUMPAD0..9 and DECIMAL, and what they are with Num Lock off.
constexpr std::array<KeypadPair, 11> KEYPAD_NAVIGATION = {{{0x60, 0x2D},
                                                           {0x61, 0x23},
                                                           {0x62, 0x28},
                                                           {0x63, 0x22},
                                                           {0x64, 0x25},
                                                           {0x65, 0x0C},
                                                           {0x66, 0x27},
                                                           {0x67, 0x24},
                                                           {0x68, 0x26},
                                                           {0x69, 0x21},
                                                           {0x6E, 0x2E}}};

// The reverse of the key table; a Linux key with two virtual keys (left Shift is both SHIFT
// and LSHIFT) takes the later, sided one, as a Windows keyboard reports it.
std::array<uint8_t, 1024> BuildReverse() {
  std::array<uint8_t, 1024> reverse{};
  for (const KeyInfo& info : KeyTable()) {
    if (info.linuxKey != 0 && info.linuxKey < reverse.size() && info.vk < 0xF0) {
      reverse[info.linuxKey] = info.vk;
    }
  }
  reverse[LINUX_KEY_KPENTER] = VK_RETURN;
  return reverse;
}

}  // namespace

uint8_t VirtualKeyForLinuxKey(uint16_t linuxKey) {
  static const std::array<uint8_t, 1024> reverse = BuildReverse();
  return linuxKey < reverse.size() ? reverse[linuxKey] : 0;
}

uint8_t VirtualKeyForCharacter(char32_t c) {
  if (c >= U'a' && c <= U'z') return static_cast<uint8_t>('A' + (c - U'a'));
  if (c >= U'A' && c <= U'Z') return static_cast<uint8_t>(c);
  if (c >= U'0' && c <= U'9') return static_cast<uint8_t>(c);
  return 0;
}

uint8_t KeypadWithoutNumLock(uint8_t vk) {
  for (const KeypadPair& pair : KEYPAD_NAVIGATION) {
    if (pair.numpad == vk) return pair.navigation;
  }
  return vk;
}

KeyMessage KeyMessageClassifier::Classify(uint8_t vk, bool down) {
  held_[vk] = down;
  const bool alt = Held(VK_LMENU) || Held(VK_RMENU);
  const bool control = Held(VK_LCONTROL) || Held(VK_RCONTROL);
  const bool system = !control && (alt || vk == VK_F10);
  if (down) return system ? KeyMessage::SysKeyDown : KeyMessage::KeyDown;
  return system ? KeyMessage::SysKeyUp : KeyMessage::KeyUp;
}

static_assert(VK_LSHIFT + 5 == VK_RMENU, "the sided modifiers are 160..165");

}  // namespace kr450
