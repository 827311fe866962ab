#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "config/ui_link.h"
#include "macro/macro_record.h"

namespace kr450 {

class RecordingMessages final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { shown.emplace_back(text); }
  std::vector<std::string> shown;
};

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("kr450-macro-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(std::string_view name) const { return (path_ / name).string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

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
