#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/ini_file.h"
#include "config/ui_link.h"
#include "ui/skin_entry.h"

namespace kr450 {

// The layout files of one skin folder. Each file is read once, on its first use, and every
// problem reaches the user once per file: a missing file (or one that is not a regular file)
// shows "找不到配置文件" and asks the window to shut down (the reads go on and give empty
// values), a value with more than six commas shows "加载ini错误！" (the fields are still
// taken). Used on the window thread.
class SkinFiles {
 public:
  SkinFiles(std::string skinDirectory, MessageSink& messages, WindowLink& window);
  ~SkinFiles();

  // Fields 1..7 of key `entry` (as "%d") of `section` in `fileName`, which lies in the skin
  // folder. A missing file, section or key gives empty fields; values are cut to 259
  // characters.
  SkinEntryFields ReadSkinEntry(std::string_view fileName, std::string_view section, int entry);

  // Every file read so far could be opened.
  bool allFilesFound() const;

 private:
  struct File;
  File& Open(std::string_view fileName);

  std::string directory_;
  MessageSink& messages_;
  WindowLink& window_;
  bool shutdownRequested_ = false;
  std::vector<std::unique_ptr<File>> files_;
};

}  // namespace kr450
