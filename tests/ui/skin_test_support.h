#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
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

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kr450-ui-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }

 private:
  std::string path_;
};

}  // namespace kr450::test
