#include "device/feature_report.h"

namespace kr450 {

std::vector<uint8_t> BuildFeatureReport(uint16_t length, uint8_t command, uint8_t byte2,
                                        uint8_t byte3) {
  if (length < FEATURE_REPORT_DATA_BYTES) return {};
  std::vector<uint8_t> report(length, 0);
  report[0] = FEATURE_REPORT_ID;
  report[1] = command;
  report[2] = byte2;
  report[3] = byte3;
  return report;
}

std::string FormatReportLine(std::span<const uint8_t> report) {
  static constexpr char HEX[] = "0123456789abcdef";
  std::string line = "report";
  line.reserve(6 + 3 * report.size());
  for (uint8_t byte : report) {
    line += ' ';
    line += HEX[byte >> 4];
    line += HEX[byte & 0xF];
  }
  return line;
}

}  // namespace kr450
