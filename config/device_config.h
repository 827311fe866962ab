#pragma once

#include <array>
#include <cstdint>

#include "config/function_code.h"

namespace kr450 {

inline constexpr int BUTTON_COUNT = 6;
inline constexpr int STAGE_COUNT = 4;
inline constexpr int MAX_STAGE_VALUE = 4;  // five sensitivity steps, 0..4
inline constexpr uint8_t LED_OFF = 3;

// Configuration numbers: 1..5 the user's, 6 the copy last applied, 7 the exchange section
// of import and export.
inline constexpr int USER_CONFIG_COUNT = 5;
inline constexpr int APPLIED_CONFIG = 6;
inline constexpr int EXCHANGE_CONFIG = 7;

// The mouse's own key number of each button. Keys the mouse numbers differently: its key 4
// is our button 5 and its key 5 our button 4.
inline constexpr std::array<uint8_t, BUTTON_COUNT> ButtonDeviceKey = {1, 2, 3, 5, 4, 6};
inline constexpr std::array<FunctionCode, BUTTON_COUNT> DefaultButtons = {1, 2, 3, 5, 4, 6};
inline constexpr std::array<uint8_t, STAGE_COUNT> DefaultDpiStage = {1, 2, 4, 0};

// One stored configuration of the mouse.
struct DeviceConfig {
  std::array<FunctionCode, BUTTON_COUNT> buttons{};
  int32_t wheelStatus = 0;  // 0 off, 1 on; sent to the mouse as is
  int32_t macroMode = 0;    // 0: repeat count, a new press stops; 1: repeat while held
  int32_t dpiLevel = 0;     // active stage, 0..3
  std::array<uint8_t, STAGE_COUNT> dpiStage{};         // step value 0..4 of each stage
  std::array<uint8_t, STAGE_COUNT> dpiStageEnabled{};  // 0 or 1
  uint8_t ledStatus = 0;     // 0 blink 1200 ms, 1 blink 800 ms, 2 steady, 3 dark
  uint8_t pointerSpeed = 0;  // 8, 9 or 10

  friend bool operator==(const DeviceConfig&, const DeviceConfig&) = default;
};

// The factory configuration of configuration 1; macro mode and pointer speed are kept.
DeviceConfig FactoryConfig(const DeviceConfig& keepFrom);

// Brings values that only a hand-edited or damaged file can hold into the ranges the rest of
// the driver relies on. This is the single place where such values are decided:
// - button codes are kept as read, so the file round-trips; every use goes through the
//   function catalogue, where a code outside it acts as None (nothing sent, nothing done);
// - dpiLevel outside 0..3 becomes 0; a stage value above 4 becomes 4;
// - wheelStatus and macroMode other than 0 become 1 (a mode that is neither 0 nor 1 could
//   never be stopped);
// - a lighting mode above 3 becomes 3 (dark);
// - a pointer speed other than 8, 9 or 10 becomes 10, the system default.
void NormalizeReadConfig(DeviceConfig& config);

// Stage rules. All keep two invariants of an edited configuration: the active stage is
// enabled, and at least one stage is enabled.
void StepDpiLevel(DeviceConfig& config, int32_t action);  // 2 cycle, 1 up, -1 down, 0 none
void ToggleStageEnabled(DeviceConfig& config, int stage);
void SelectDpiLevel(DeviceConfig& config, int stage);
void SetStageValue(DeviceConfig& config, int stage, uint8_t value);

constexpr int NextConfigNumber(int n) {
  return n < USER_CONFIG_COUNT && n >= 0 ? n + 1 : 1;
}
constexpr uint8_t ToggledLedStatus(uint8_t mode) {
  return mode == LED_OFF ? 0 : LED_OFF;
}
constexpr int SystemPointerSpeed(uint8_t pointerSpeed) {
  return pointerSpeed == 8 ? 7 : pointerSpeed;
}

// High nibble: the active stage's step value + 8; low nibble: the lighting mode.
constexpr uint8_t StageAndLightByte(uint8_t stageValue, uint8_t ledStatus) {
  return static_cast<uint8_t>(((stageValue + 8) << 4) + ledStatus);
}

}  // namespace kr450
