#include "config/ini_file.h"

#include <mutex>

#include "config/atomic_file.h"
#include "config/regular_file.h"
#include "config/text.h"
#include "config/utf.h"

namespace kr450 {
namespace {

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";
constexpr std::string_view UTF16LE_BOM = "\xFF\xFE";

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The section name of a header line "[name]", or nothing.
bool SectionNameOf(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  size_t close = line.rfind(']');
  std::string_view inner =
      close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
  *name = Trim(inner);
  return true;
}

// Key and value of a line "key=value"; lines without '=' hold no key.
bool KeyValueOf(std::string_view line, std::string_view* key, std::string_view* value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(line.substr(0, eq));
  if (key->empty()) return false;
  std::string_view v = Trim(line.substr(eq + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  *value = v;
  return true;
}

// Line ends would split a value into lines of its own.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::mutex& UpdateMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

IniDocument IniDocument::FromBytes(std::string_view bytes) {
  IniDocument doc;
  std::string text;
  if (bytes.starts_with(UTF16LE_BOM)) {
    doc.encoding_ = Encoding::Utf16LeBom;
    text = DecodeUtf16Le(bytes.substr(UTF16LE_BOM.size()));
  } else if (bytes.starts_with(UTF8_BOM)) {
    doc.encoding_ = Encoding::Utf8Bom;
    text = bytes.substr(UTF8_BOM.size());
  } else {
    text = bytes;
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string::npos) {
      doc.lines_.push_back({text.substr(start), ""});
      break;
    }
    size_t endLength = text.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
    doc.lines_.push_back({text.substr(start, stop - start), text.substr(stop, endLength)});
    start = stop + endLength;
  }
  return doc;
}

std::string IniDocument::ToBytes() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += line.end;
  }
  switch (encoding_) {
    case Encoding::Utf16LeBom:
      return std::string(UTF16LE_BOM) + EncodeUtf16Le(text);
    case Encoding::Utf8Bom:
      return std::string(UTF8_BOM) + text;
    case Encoding::Utf8:
      break;
  }
  return text;
}

bool IniDocument::FindSection(std::string_view section, size_t* header, size_t* end) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (!SectionNameOf(lines_[i].text, &name) || !EqualsIgnoringCase(name, section)) continue;
    size_t j = i + 1;
    while (j < lines_.size() && !SectionNameOf(lines_[j].text, &name)) ++j;
    *header = i;
    *end = j;
    return true;
  }
  return false;
}

bool IniDocument::FindKey(size_t begin, size_t end, std::string_view key, size_t* index) const {
  for (size_t i = begin; i < end; ++i) {
    std::string_view k, v;
    if (KeyValueOf(lines_[i].text, &k, &v) && EqualsIgnoringCase(k, key)) {
      *index = i;
      return true;
    }
  }
  return false;
}

std::string IniDocument::Get(std::string_view section, std::string_view key,
                             size_t capacity) const {
  size_t header, end, index;
  if (!FindSection(section, &header, &end) || !FindKey(header + 1, end, key, &index)) return {};
  std::string_view k, value;
  KeyValueOf(lines_[index].text, &k, &value);
  return std::string(Utf8Prefix(value, capacity));
}

bool IniDocument::Has(std::string_view section, std::string_view key) const {
  size_t header, end, index;
  return FindSection(section, &header, &end) && FindKey(header + 1, end, key, &index);
}

bool IniDocument::HasSection(std::string_view section) const {
  size_t header, end;
  return FindSection(section, &header, &end);
}

std::string IniDocument::DefaultLineEnd() const {
  for (const Line& line : lines_) {
    if (!line.end.empty()) return line.end;
  }
  return "\n";
}

void IniDocument::InsertLine(size_t index, std::string text) {
  // The line before the new one may be the file's last line without a line end.
  if (index > 0 && lines_[index - 1].end.empty()) lines_[index - 1].end = DefaultLineEnd();
  std::string end = DefaultLineEnd();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), Line{std::move(text), end});
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string cleanValue = OneLine(value);
  size_t header, end, index;
  if (!FindSection(section, &header, &end)) {
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), std::string(key) + "=" + cleanValue);
    return;
  }
  if (FindKey(header + 1, end, key, &index)) {
    // Keep the line's indentation and the key as the file spells it.
    std::string& text = lines_[index].text;
    std::string_view before = std::string_view(text).substr(0, text.find('='));
    while (!before.empty() && (before.back() == ' ' || before.back() == '\t')) {
      before.remove_suffix(1);
    }
    text = std::string(before) + "=" + cleanValue;
    return;
  }
  // After the section's last line that is not blank, so blank separators stay below it.
  size_t insertAt = header + 1;
  for (size_t i = header + 1; i < end; ++i) {
    if (!Trim(lines_[i].text).empty()) insertAt = i + 1;
  }
  InsertLine(insertAt, std::string(key) + "=" + cleanValue);
}

Result<IniDocument> ReadIniFile(const std::string& path) {
  Result<std::string> bytes = ReadRegularFile(path);
  if (!bytes) return bytes.status();
  return IniDocument::FromBytes(*bytes);
}

IniDocument LoadIniFile(const std::string& path) {
  return ReadIniFile(path).ValueOr(IniDocument());
}

Status UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& edit) {
  std::lock_guard lock(UpdateMutex());
  // A file that is there but cannot be read must not be replaced by one holding only the edit.
  Result<IniDocument> doc = ReadIniFile(path);
  if (!doc && !doc.status().notFound()) return doc.status();
  IniDocument document = doc ? std::move(*doc) : IniDocument();
  edit(document);
  return ReplaceFileAtomically(path, document.ToBytes());
}

}  // namespace kr450
