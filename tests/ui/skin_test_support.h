#pragma once

#include <string>
#include <vector>

#include "config/ui_link.h"
#include "tests/support/counting_window.h"

namespace kr450::test {

class RecordingSink final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

}  // namespace kr450::test
