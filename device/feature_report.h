#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kr450 {

// The mouse's vendor feature report: report id 7, command, two argument bytes, the rest 0.
inline constexpr uint8_t FEATURE_REPORT_ID = 7;
inline constexpr uint8_t CMD_BUTTON_MAP = 0x10;   // device key, device function
inline constexpr uint8_t CMD_WHEEL = 0x11;        // wheel setting, 0
inline constexpr uint8_t CMD_STAGE_LIGHT = 0x09;  // active stage, stage and lighting byte
inline constexpr uint8_t CMD_DRIVER_EXIT = 0x20;  // 0, 0
inline constexpr size_t FEATURE_REPORT_DATA_BYTES = 4;

// The report as it is sent: `length` bytes (the feature collection's report length). Empty
// when the length cannot hold the four data bytes.
std::vector<uint8_t> BuildFeatureReport(uint16_t length, uint8_t command, uint8_t byte2,
                                        uint8_t byte3);

// "report" and every byte in two-digit lowercase hex, separated by single spaces.
std::string FormatReportLine(std::span<const uint8_t> report);

}  // namespace kr450
