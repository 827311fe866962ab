#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/driver_state.h"
#include "config/ini_file.h"
#include "config/status.h"

namespace kr450 {

// Keys of one configuration section, in the order a write creates them.
inline constexpr const char* CONFIG_KEYS_IN_WRITE_ORDER[] = {
    "K1",          "K2",          "K3",           "K4",          "K5",
    "K6",          "DPI_LEVEL",   "WHEEL_STATUS", "MACRO_MODE2", "DPI_SET1",
    "DPI_SET_EN1", "DPI_SET2",    "DPI_SET_EN2",  "DPI_SET3",    "DPI_SET_EN3",
    "DPI_SET4",    "DPI_SET_EN4", "LED_STATUS",   "DPI_SPEED"};

std::string ConfigSectionName(int n);  // "Config" + n
std::string ResetSectionName(int n);   // "CfgReset" + n

// Pure conversions between a section of a document and a configuration. Reading applies the
// capacities of the file format and NormalizeReadConfig.
DeviceConfig ReadConfigSection(const IniDocument& doc, const std::string& section);
void WriteConfigSection(IniDocument& doc, const std::string& section, const DeviceConfig& config);
// The section as "KEY=value" pairs in write order.
std::vector<std::pair<std::string, std::string>> ConfigKeyValues(const DeviceConfig& config);

// The file operations. Each reads the file once and replaces it at most once; a write that
// fails leaves the file and the state in memory as they were and says why.

// Loads section "CfgReset"+n (fromResetSection) or "Config"+n into state.config. A missing file,
// section or key reads as 0.
void ReadConfig(DriverState& state, const std::string& file, int n, bool fromResetSection);
Status WriteConfig(DriverState& state, const std::string& file, int n);
Status WriteDpiLevel(DriverState& state, const std::string& file, int n);
Status WriteLedStatus(DriverState& state, const std::string& file, int n);
// The same with a number and a value the caller read together, in one snapshot: read apart, a
// switch of configuration in between stores one configuration's value in the other's section.
Status WriteDpiLevel(const std::string& file, int n, int32_t level);
Status WriteLedStatus(const std::string& file, int n, uint8_t ledStatus);
// The apply step's first write: Init/CurConfig and configuration 6, in one replace.
Status WriteApplyStart(DriverState& state, const std::string& file);
// The same from a snapshot the caller took, so that what is stored is what it sends.
Status WriteApplyStart(const ConfigState& applied, const std::string& file);
// WriteConfig from a given configuration.
Status WriteConfigValues(const DeviceConfig& config, const std::string& file, int n);

// Sets state.configFilePath = dataDirectory + "/config.ini", reads CurConfig and loads that
// configuration. A missing CurConfig reads as 0; one outside 1..5 counts as 1.
void LoadAtStartup(DriverState& state, const std::string& dataDirectory);
void SelectConfig(DriverState& state, int n);  // n in 1..5
Status SaveCurrentConfig(DriverState& state);
Status RevertToApplied(DriverState& state);

// What the reset does beyond the configuration file: the default macros and the final apply.
struct ResetSteps {
  std::function<void()> resetMacros;
  std::function<void()> apply;
};
// Factory buttons into configuration 1, the presets CfgReset5..2 into configurations 5..2,
// then the current configuration is loaded, the macros reset and the result applied. When the
// file cannot be written nothing changes and the macro and apply steps do not run.
Status ResetAllConfigs(DriverState& state, const ResetSteps& steps);

// Loads section Config7 of a file the user chose. A file that cannot be read, and one that is
// not a regular file (a pipe, a device, a folder) or is too large, is an error and leaves the
// configuration as it was.
Status ImportConfig(DriverState& state, const std::string& path);
// Writes section Config7 of a file the user chose; the rest of the file stays. Anything but a
// regular file or a new one is refused and left untouched.
Status ExportConfig(DriverState& state, const std::string& path);

}  // namespace kr450
