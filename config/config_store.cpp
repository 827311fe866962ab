#include "config/config_store.h"

#include "config/decimal.h"

namespace kr450 {
namespace {

// Capacities of the values, in characters: most keys hold 4, the stage keys 9.
constexpr size_t SHORT_VALUE = 4;
constexpr size_t STAGE_VALUE = 9;

std::string Numbered(const char* prefix, int n) {
  return prefix + FormatDecimal(n);
}

int32_t ReadNumber(const IniDocument& doc, const std::string& section, const std::string& key,
                   size_t capacity) {
  return ParseDecimal(doc.Get(section, key, capacity));
}

uint8_t LowByte(int32_t value) {
  return static_cast<uint8_t>(value & 0xFF);
}

DeviceConfig ConfigFrom(const IniDocument& doc, int n, bool fromResetSection) {
  return ReadConfigSection(doc, fromResetSection ? ResetSectionName(n) : ConfigSectionName(n));
}

}  // namespace

std::string ConfigSectionName(int n) {
  return Numbered("Config", n);
}
std::string ResetSectionName(int n) {
  return Numbered("CfgReset", n);
}

DeviceConfig ReadConfigSection(const IniDocument& doc, const std::string& section) {
  DeviceConfig config;
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    config.buttons[static_cast<size_t>(i)] =
        ReadNumber(doc, section, Numbered("K", i + 1), SHORT_VALUE);
  }
  config.wheelStatus = ReadNumber(doc, section, "WHEEL_STATUS", SHORT_VALUE);
  config.macroMode = ReadNumber(doc, section, "MACRO_MODE2", SHORT_VALUE);
  config.dpiLevel = ReadNumber(doc, section, "DPI_LEVEL", SHORT_VALUE);
  for (int s = 0; s < STAGE_COUNT; ++s) {
    const size_t i = static_cast<size_t>(s);
    config.dpiStage[i] = LowByte(ReadNumber(doc, section, Numbered("DPI_SET", s + 1), STAGE_VALUE));
    config.dpiStageEnabled[i] =
        ReadNumber(doc, section, Numbered("DPI_SET_EN", s + 1), STAGE_VALUE) != 0 ? 1 : 0;
  }
  config.ledStatus = LowByte(ReadNumber(doc, section, "LED_STATUS", SHORT_VALUE));
  config.pointerSpeed = LowByte(ReadNumber(doc, section, "DPI_SPEED", SHORT_VALUE));
  NormalizeReadConfig(config);
  return config;
}

std::vector<std::pair<std::string, std::string>> ConfigKeyValues(const DeviceConfig& config) {
  std::vector<std::pair<std::string, std::string>> pairs;
  // The buttons, three single keys, two keys per stage and two more at the end.
  pairs.reserve(static_cast<size_t>(BUTTON_COUNT + 3 + 2 * STAGE_COUNT + 2));
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    pairs.emplace_back(Numbered("K", i + 1), FormatDecimal(config.buttons[static_cast<size_t>(i)]));
  }
  pairs.emplace_back("DPI_LEVEL", FormatDecimal(config.dpiLevel));
  pairs.emplace_back("WHEEL_STATUS", FormatDecimal(config.wheelStatus));
  pairs.emplace_back("MACRO_MODE2", FormatDecimal(config.macroMode));
  for (int s = 0; s < STAGE_COUNT; ++s) {
    const size_t i = static_cast<size_t>(s);
    pairs.emplace_back(Numbered("DPI_SET", s + 1), FormatDecimal(config.dpiStage[i]));
    pairs.emplace_back(Numbered("DPI_SET_EN", s + 1),
                       FormatDecimal(config.dpiStageEnabled[i] != 0 ? 1 : 0));
  }
  pairs.emplace_back("LED_STATUS", FormatDecimal(config.ledStatus));
  pairs.emplace_back("DPI_SPEED", FormatDecimal(config.pointerSpeed));
  return pairs;
}

void WriteConfigSection(IniDocument& doc, const std::string& section, const DeviceConfig& config) {
  for (const auto& [key, value] : ConfigKeyValues(config)) doc.Set(section, key, value);
}

void ReadConfig(DriverState& state, const std::string& file, int n, bool fromResetSection) {
  DeviceConfig config = ConfigFrom(LoadIniFile(file), n, fromResetSection);
  state.WithConfig([&](ConfigState& s) { s.config = config; });
}

Status WriteConfig(DriverState& state, const std::string& file, int n) {
  return WriteConfigValues(state.Config(), file, n);
}

Status WriteConfigValues(const DeviceConfig& config, const std::string& file, int n) {
  return UpdateIniFile(
      file, [&](IniDocument& doc) { WriteConfigSection(doc, ConfigSectionName(n), config); });
}

Status WriteDpiLevel(DriverState& state, const std::string& file, int n) {
  return WriteDpiLevel(file, n, state.Config().dpiLevel);
}

Status WriteLedStatus(DriverState& state, const std::string& file, int n) {
  return WriteLedStatus(file, n, state.Snapshot().appliedLedStatus);
}

Status WriteDpiLevel(const std::string& file, int n, int32_t level) {
  return UpdateIniFile(file, [&](IniDocument& doc) {
    doc.Set(ConfigSectionName(n), "DPI_LEVEL", FormatDecimal(level));
  });
}

Status WriteLedStatus(const std::string& file, int n, uint8_t ledStatus) {
  return UpdateIniFile(file, [&](IniDocument& doc) {
    doc.Set(ConfigSectionName(n), "LED_STATUS", FormatDecimal(ledStatus));
  });
}

Status WriteApplyStart(DriverState& state, const std::string& file) {
  return WriteApplyStart(state.Snapshot(), file);
}

Status WriteApplyStart(const ConfigState& s, const std::string& file) {
  return UpdateIniFile(file, [&](IniDocument& doc) {
    doc.Set("Init", "CurConfig", FormatDecimal(s.currentConfig));
    WriteConfigSection(doc, ConfigSectionName(APPLIED_CONFIG), s.config);
  });
}

void LoadAtStartup(DriverState& state, const std::string& dataDirectory) {
  state.configFilePath = dataDirectory + "/config.ini";
  const IniDocument doc = LoadIniFile(state.configFilePath);
  // A missing CurConfig reads as 0, as every missing key does; a number that names no user
  // configuration (an edited file) counts as configuration 1.
  const bool named = doc.Has("Init", "CurConfig");
  int current = ParseDecimal(doc.Get("Init", "CurConfig", SHORT_VALUE));
  if (!named) {
    current = 0;
  } else if (current < 1 || current > USER_CONFIG_COUNT) {
    current = 1;
  }
  const DeviceConfig config = ConfigFrom(doc, current, false);
  state.WithConfig([&](ConfigState& s) {
    s.currentConfig = current;
    s.config = config;
  });
}

void SelectConfig(DriverState& state, int n) {
  const DeviceConfig config = ConfigFrom(LoadIniFile(state.configFilePath), n, false);
  state.WithConfig([&](ConfigState& s) {
    s.currentConfig = n;
    s.config = config;
  });
}

Status SaveCurrentConfig(DriverState& state) {
  return WriteConfig(state, state.configFilePath, state.Snapshot().currentConfig);
}

Status RevertToApplied(DriverState& state) {
  const int32_t level = state.Config().dpiLevel;
  DeviceConfig reverted;
  Status status = UpdateIniFile(state.configFilePath, [&](IniDocument& doc) {
    doc.Set(ConfigSectionName(APPLIED_CONFIG), "DPI_LEVEL", FormatDecimal(level));
    reverted = ConfigFrom(doc, APPLIED_CONFIG, false);
  });
  if (!status) return status;
  state.WithConfig([&](ConfigState& s) { s.config = reverted; });
  return status;
}

Status ResetAllConfigs(DriverState& state, const ResetSteps& steps) {
  const ConfigState before = state.Snapshot();
  DeviceConfig current;
  Status status = UpdateIniFile(state.configFilePath, [&](IniDocument& doc) {
    WriteConfigSection(doc, ConfigSectionName(1), FactoryConfig(before.config));
    for (int n = USER_CONFIG_COUNT; n >= 2; --n) {
      WriteConfigSection(doc, ConfigSectionName(n), ConfigFrom(doc, n, true));
    }
    current = ConfigFrom(doc, before.currentConfig, false);
  });
  if (!status) return status;
  state.WithConfig([&](ConfigState& s) {
    s.config = current;
    s.appliedDpiStage = DefaultDpiStage;
  });
  if (steps.resetMacros) steps.resetMacros();
  if (steps.apply) steps.apply();
  return status;
}

Status ImportConfig(DriverState& state, const std::string& path) {
  const Result<IniDocument> doc = ReadIniFile(path);
  if (!doc) return doc.status().notFound() ? Status::Error("cannot read " + path) : doc.status();
  const DeviceConfig config = ConfigFrom(*doc, EXCHANGE_CONFIG, false);
  state.WithConfig([&](ConfigState& s) { s.config = config; });
  return Status::Ok();
}

Status ExportConfig(DriverState& state, const std::string& path) {
  return WriteConfig(state, path, EXCHANGE_CONFIG);
}

}  // namespace kr450
