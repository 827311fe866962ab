#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/ui_link.h"
#include "macro/macro_record.h"

namespace kr450 {

class RecordingMessages final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { shown.emplace_back(text); }
  std::vector<std::string> shown;
};

// A macro with the given events, each followed by `delay` ms.
inline MacroRecord MacroOf(std::u16string_view name, std::vector<MacroEvent> events,
                           uint16_t delay = DEFAULT_EVENT_DELAY) {
  MacroRecord record = NewMacro(name);
  record.eventCount = static_cast<uint8_t>(events.size());
  for (size_t j = 0; j < events.size(); ++j) {
    record.events[j] = events[j];
    record.SetDelay(static_cast<int>(j), delay);
  }
  return record;
}

}  // namespace kr450
