#pragma once

#include <cstdint>

#include "device/device_connection.h"

namespace kr450 {

// Sends feature reports on the connection's current feature collection. Each report is built
// in a buffer of its own, so the window's and the action executor's reports never share one.
// Any thread, also at the same time.
class ReportSender {
 public:
  explicit ReportSender(const DeviceConnection& connection) : connection_(connection) {}

  // False when no feature collection is open or the mouse refused the report.
  bool Send(uint8_t command, uint8_t byte2, uint8_t byte3) const;
  // Whether a feature collection is open.
  bool CanSend() const { return connection_.Feature().handle != nullptr; }

 private:
  const DeviceConnection& connection_;
};

}  // namespace kr450
