#pragma once

#include <string>
#include <vector>

#include "config/ui_link.h"

namespace kr450::test {

class RecordingSink final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

class RecordingWindow final : public WindowLink {
 public:
  void RequestRepaint() override {}
  void RequestShutdown() override { ++shutdownRequests; }
  int shutdownRequests = 0;
};

}  // namespace kr450::test
