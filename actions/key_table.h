#pragma once

#include <cstdint>
#include <span>

namespace kr450 {

// One virtual-key code (the codes macros and the executor use) with what the backends need.
struct KeyInfo {
  uint8_t vk;         // Windows virtual-key code, or 240..242 for the mouse buttons
  uint16_t linuxKey;  // Linux input event code (KEY_*, BTN_*); 0: no counterpart, not sent
  uint8_t scan;       // the scan code the key events carry
  bool extended;      // sent with the extended-key flag
};

// Every known code, ascending. Codes not in the table have no Linux counterpart and scan 0.
std::span<const KeyInfo> KeyTable();
const KeyInfo* FindKey(uint8_t vk);

uint16_t LinuxKeyFor(uint8_t vk);
uint8_t ScanCodeFor(uint8_t vk);
bool IsExtendedKey(uint8_t vk);

// Flags of a key event.
inline constexpr uint32_t KEY_FLAG_EXTENDED = 1;
inline constexpr uint32_t KEY_FLAG_UP = 2;

// Alt, which the close sequence releases; the keys of the functions are in the catalogue.
inline constexpr uint8_t VK_MENU_KEY = 0x12;

}  // namespace kr450
