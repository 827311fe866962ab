#include "config/device_config.h"

namespace kr450 {
namespace {

bool ValidStage(int stage) {
  return stage >= 0 && stage < STAGE_COUNT;
}

bool Enabled(const DeviceConfig& config, int stage) {
  return config.dpiStageEnabled[static_cast<size_t>(stage)] != 0;
}

}  // namespace

DeviceConfig FactoryConfig(const DeviceConfig& keepFrom) {
  DeviceConfig config;
  config.buttons = DefaultButtons;
  config.wheelStatus = 0;
  config.macroMode = keepFrom.macroMode;
  config.dpiLevel = 0;
  config.dpiStage = DefaultDpiStage;
  config.dpiStageEnabled = {1, 1, 1, 1};
  config.ledStatus = 0;
  config.pointerSpeed = keepFrom.pointerSpeed;
  return config;
}

void NormalizeReadConfig(DeviceConfig& config) {
  if (!ValidStage(config.dpiLevel)) config.dpiLevel = 0;
  for (uint8_t& value : config.dpiStage) {
    if (value > MAX_STAGE_VALUE) value = MAX_STAGE_VALUE;
  }
  for (uint8_t& enabled : config.dpiStageEnabled) enabled = enabled != 0 ? 1 : 0;
  if (config.wheelStatus != 0) config.wheelStatus = 1;
  if (config.macroMode != 0) config.macroMode = 1;
  if (config.ledStatus > LED_OFF) config.ledStatus = LED_OFF;
  if (config.pointerSpeed < 8 || config.pointerSpeed > 10) config.pointerSpeed = 10;
}

void StepDpiLevel(DeviceConfig& config, int32_t action) {
  const int level = config.dpiLevel;
  if (!ValidStage(level)) return;
  if (action == -1) {
    for (int s = level - 1; s >= 0; --s) {
      if (Enabled(config, s)) {
        config.dpiLevel = s;
        return;
      }
    }
  } else if (action == 1) {
    for (int s = level + 1; s < STAGE_COUNT; ++s) {
      if (Enabled(config, s)) {
        config.dpiLevel = s;
        return;
      }
    }
  } else if (action == 2) {
    for (int step = 1; step <= STAGE_COUNT; ++step) {
      int s = (level + step) % STAGE_COUNT;
      if (Enabled(config, s)) {
        config.dpiLevel = s;
        return;
      }
    }
  }
}

void ToggleStageEnabled(DeviceConfig& config, int stage) {
  if (!ValidStage(stage)) return;
  const size_t s = static_cast<size_t>(stage);
  if (config.dpiStageEnabled[s] == 0) {
    config.dpiStageEnabled[s] = 1;
    return;
  }
  config.dpiStageEnabled[s] = 0;
  if (stage != config.dpiLevel) return;
  for (int step = 1; step <= STAGE_COUNT; ++step) {
    int next = (stage + step) % STAGE_COUNT;
    if (Enabled(config, next)) {
      config.dpiLevel = next;
      return;
    }
  }
  // The last enabled stage cannot be switched off while it is active.
  config.dpiLevel = stage;
  config.dpiStageEnabled[s] = 1;
}

void SelectDpiLevel(DeviceConfig& config, int stage) {
  if (ValidStage(stage) && Enabled(config, stage)) config.dpiLevel = stage;
}

void SetStageValue(DeviceConfig& config, int stage, uint8_t value) {
  if (!ValidStage(stage) || value > MAX_STAGE_VALUE) return;
  config.dpiStage[static_cast<size_t>(stage)] = value;
}

}  // namespace kr450
