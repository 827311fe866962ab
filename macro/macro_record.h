#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace kr450 {

inline constexpr int MAX_MACROS = 12;
inline constexpr int MACRO_EVENT_SLOTS = 255;
inline constexpr int MACRO_NAME_UNITS = 20;  // UTF-16 code units, the NUL included
inline constexpr int MACRO_NAME_MAX_LENGTH = MACRO_NAME_UNITS - 1;
inline constexpr uint16_t DEFAULT_EVENT_DELAY = 30;  // ms after an inserted or recorded event

// Key codes of the mouse buttons; every other key code is a Windows virtual-key code.
inline constexpr uint8_t KEY_MOUSE_LEFT = 240;
inline constexpr uint8_t KEY_MOUSE_RIGHT = 241;
inline constexpr uint8_t KEY_MOUSE_MIDDLE = 242;

inline constexpr uint8_t ACTION_PRESS = 1;
inline constexpr uint8_t ACTION_RELEASE = 2;

struct MacroEvent {
  uint8_t keyCode = 0;
  uint8_t action = 0;  // ACTION_PRESS, ACTION_RELEASE; anything else is played as nothing

  friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

// A 16-bit number held as two bytes, low byte first, so that the record is its file image on
// every host.
struct LittleEndian16 {
  std::array<uint8_t, 2> bytes{};

  constexpr uint16_t value() const { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }
  constexpr void set(uint16_t v) {
    bytes[0] = static_cast<uint8_t>(v & 0xFF);
    bytes[1] = static_cast<uint8_t>(v >> 8);
  }
  friend bool operator==(const LittleEndian16&, const LittleEndian16&) = default;
};

// One macro. The struct is exactly the 1064-byte image that the macro file stores: all
// members are bytes, so there is no padding and no byte order to care about.
struct MacroRecord {
  std::array<uint8_t, size_t{2} * MACRO_NAME_UNITS> name{};  // UTF-16LE, NUL-terminated
  uint8_t repeatEnabled = 0;                                 // 1: play repeatCount times; 0: once
  LittleEndian16 repeatCount{};
  uint8_t eventCount = 0;  // slots 0 .. eventCount-1 are played
  std::array<MacroEvent, MACRO_EVENT_SLOTS> events{};
  std::array<LittleEndian16, MACRO_EVENT_SLOTS> delays{};  // ms after events[j]

  uint16_t RepeatCount() const { return repeatCount.value(); }
  void SetRepeatCount(uint16_t count) { repeatCount.set(count); }
  uint16_t Delay(int slot) const { return delays[slot].value(); }
  void SetDelay(int slot, uint16_t ms) { delays[slot].set(ms); }

  friend bool operator==(const MacroRecord&, const MacroRecord&) = default;
};

inline constexpr size_t MACRO_RECORD_IMAGE_SIZE = 1064;
static_assert(std::is_trivially_copyable_v<MacroRecord>);
static_assert(std::is_standard_layout_v<MacroRecord>);
static_assert(sizeof(MacroRecord) == MACRO_RECORD_IMAGE_SIZE);
static_assert(offsetof(MacroRecord, repeatEnabled) == 40);
static_assert(offsetof(MacroRecord, repeatCount) == 41);
static_assert(offsetof(MacroRecord, eventCount) == 43);
static_assert(offsetof(MacroRecord, events) == 44);
static_assert(offsetof(MacroRecord, delays) == 554);

// The record's bytes in image order.
std::span<const uint8_t, MACRO_RECORD_IMAGE_SIZE> RecordImage(const MacroRecord& record);
std::span<uint8_t, MACRO_RECORD_IMAGE_SIZE> RecordImage(MacroRecord& record);

// The name up to its NUL, at most 19 code units even when a damaged file left no NUL.
std::u16string MacroName(const MacroRecord& record);
std::string MacroNameUtf8(const MacroRecord& record);
// Stores a name cut to 19 code units (never between the halves of a surrogate pair), its NUL
// and zeros after it.
void SetMacroName(MacroRecord& record, std::u16string_view name);
void SetMacroNameUtf8(MacroRecord& record, std::string_view utf8);

// An empty macro as the editor adds one: the name, no events, played once, repeat count 1.
MacroRecord NewMacro(std::u16string_view name);

}  // namespace kr450
