#include "macro/macro_file.h"

#include <algorithm>

#include "config/decimal.h"

namespace kr450 {
namespace {

void AppendTriple(std::string& out, uint8_t byte) {
  out.push_back(static_cast<char>('0' + byte / 100));
  out.push_back(static_cast<char>('0' + byte / 10 % 10));
  out.push_back(static_cast<char>('0' + byte % 10));
}

std::string IndexKey(int i) {
  return FormatDecimal(i);
}

}  // namespace

std::string EncodeMacroRecord(const MacroRecord& record) {
  std::span<const uint8_t, MACRO_RECORD_IMAGE_SIZE> image = RecordImage(record);
  std::string out;
  out.reserve(MACRO_ENCODING_LENGTH);
  for (size_t p = 0; p < MACRO_RECORD_IMAGE_SIZE; ++p) {
    AppendTriple(out, image[ImageOffsetOfFilePosition(p)]);
  }
  return out;
}

MacroRecord DecodeMacroRecord(std::string_view text) {
  MacroRecord record;
  std::span<uint8_t, MACRO_RECORD_IMAGE_SIZE> image = RecordImage(record);
  for (size_t p = 0; p < MACRO_RECORD_IMAGE_SIZE && 3 * p < text.size(); ++p) {
    int32_t value = ParseDecimal(text.substr(3 * p, 3));
    image[ImageOffsetOfFilePosition(p)] = static_cast<uint8_t>(value & 0xFF);
  }
  return record;
}

int16_t MacroCountFromText(std::string_view text) {
  int32_t count = ParseDecimal(text.substr(0, std::min<size_t>(text.size(), 2)));
  return static_cast<int16_t>(std::clamp<int32_t>(count, 0, MAX_MACROS));
}

void ReadMacroDocument(const IniDocument& doc, MacroTableData& into) {
  into.macroCount = MacroCountFromText(doc.Get(MACRO_SECTION, MACRO_COUNT_KEY, 2));
  into.selectedMacro = into.macroCount >= 1 ? into.macroCount - 1 : 0;
  for (int i = 0; i < into.macroCount; ++i) {
    into.records[i] = DecodeMacroRecord(doc.Get(MACRO_SECTION, IndexKey(i), MACRO_ENCODING_LENGTH));
  }
}

void WriteMacroDocument(IniDocument& doc, const MacroTableData& data) {
  int count = std::clamp<int>(data.macroCount, 0, MAX_MACROS);
  doc.Set(MACRO_SECTION, MACRO_COUNT_KEY, FormatDecimal(count));
  for (int i = 0; i < count; ++i) {
    doc.Set(MACRO_SECTION, IndexKey(i), EncodeMacroRecord(data.records[i]));
  }
}

namespace {

// Reads the file; the status says why it could not be read (NotFound: nothing is there).
Status ReadMacroFile(const std::string& path, MacroTableData& into) {
  const Result<IniDocument> doc = ReadIniFile(path);
  if (!doc) return doc.status();
  ReadMacroDocument(*doc, into);
  return Status::Ok();
}

// A macro file that is not a regular file cannot be used either: it counts as missing.
Status AsMissing(Status status) {
  if (status || status.notFound()) return status;
  return Status::NotFound(status.message());
}

void StoreLoaded(MacroTable& table, const MacroTableData& loaded) {
  table.Edit([&](MacroTableData& data) {
    std::copy_n(loaded.records.begin(), loaded.macroCount, data.records.begin());
    data.macroCount = loaded.macroCount;
    data.selectedMacro = loaded.selectedMacro;
  });
}

}  // namespace

Status LoadMacroFile(MacroTable& table, const std::string& path) {
  MacroTableData loaded;
  Status status = ReadMacroFile(path, loaded);
  StoreLoaded(table, loaded);  // a file that cannot be read leaves no macros
  return AsMissing(std::move(status));
}

Status SaveMacroFile(const MacroTable& table, const std::string& path) {
  MacroTableData data = table.Snapshot();
  return UpdateIniFile(path, [&](IniDocument& doc) { WriteMacroDocument(doc, data); });
}

Status ImportMacros(MacroTable& table, const std::string& path) {
  MacroTableData loaded;
  if (Status status = ReadMacroFile(path, loaded); !status) return AsMissing(std::move(status));
  StoreLoaded(table, loaded);
  return Status::Ok();
}

std::string WithDefaultMacroExtension(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string::npos ? std::string_view(path)
                                                     : std::string_view(path).substr(slash + 1);
  if (name.empty() || name.find('.') != std::string_view::npos) return path;
  return path + ".dat";
}

Status ExportMacros(const MacroTable& table, const std::string& path) {
  return SaveMacroFile(table, WithDefaultMacroExtension(path));
}

Status ResetMacrosToDefaults(MacroTable& table, const std::string& defaultsPath,
                             const std::string& userPath) {
  MacroTableData loaded;
  if (Status status = ReadMacroFile(defaultsPath, loaded); !status) {
    if (!status.notFound()) return AsMissing(std::move(status));
    return Status::NotFound("the default macros " + defaultsPath + " are missing");
  }
  StoreLoaded(table, loaded);
  return SaveMacroFile(table, userPath);
}

}  // namespace kr450
