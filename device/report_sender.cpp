#include "device/report_sender.h"

#include <vector>

#include "device/feature_report.h"

namespace kr450 {

bool ReportSender::Send(uint8_t command, uint8_t byte2, uint8_t byte3) const {
  const FeatureChannel channel = connection_.Feature();
  if (!channel.handle) return false;
  const std::vector<uint8_t> report = BuildFeatureReport(channel.length, command, byte2, byte3);
  if (report.empty()) return false;
  return channel.handle->SetFeature(report);
}

}  // namespace kr450
