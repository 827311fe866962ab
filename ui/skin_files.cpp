#include "ui/skin_files.h"

#include "config/decimal.h"
#include "ui/ui_texts.h"

namespace kr450 {

struct SkinFiles::File {
  std::string name;
  IniDocument document;
  bool exists = false;
  bool formatErrorShown = false;
};

SkinFiles::SkinFiles(std::string skinDirectory, MessageSink& messages, WindowLink& window)
    : directory_(std::move(skinDirectory)), messages_(messages), window_(window) {}

SkinFiles::~SkinFiles() = default;

SkinFiles::File& SkinFiles::Open(std::string_view fileName) {
  for (const auto& file : files_) {
    if (file->name == fileName) return *file;
  }
  auto file = std::make_unique<File>();
  file->name = std::string(fileName);
  Result<IniDocument> document = ReadIniFile(directory_ + "/" + file->name);
  file->exists = document.ok();
  if (document) {
    file->document = std::move(*document);
  } else {
    // Something that is not a regular file cannot be used either: shown as missing.
    messages_.ShowMessage(FILE_MISSING_TEXT);
    // One request is enough: the window ends once the start-up has run to its end.
    if (!shutdownRequested_) window_.RequestShutdown();
    shutdownRequested_ = true;
  }
  files_.push_back(std::move(file));
  return *files_.back();
}

SkinEntryFields SkinFiles::ReadSkinEntry(std::string_view fileName, std::string_view section,
                                         int entry) {
  File& file = Open(fileName);
  const std::string value = file.document.Get(section, FormatDecimal(entry), SKIN_VALUE_CAPACITY);
  SkinEntryFields fields = SplitSkinEntry(value);
  if (fields.tooManyCommas && !file.formatErrorShown) {
    messages_.ShowMessage(INI_FORMAT_ERROR_TEXT);
    file.formatErrorShown = true;
  }
  return fields;
}

bool SkinFiles::allFilesFound() const {
  for (const auto& file : files_) {
    if (!file->exists) return false;
  }
  return true;
}

}  // namespace kr450
