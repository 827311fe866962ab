#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/status.h"

namespace kr450 {

// A profile (INI) file in memory, with the semantics of the platform's profile functions:
// section and key names match without regard to case (ASCII), blanks and tabs around names
// and values are trimmed, a value in matching single or double quotes reads without them, and
// the first of two equal sections or keys wins. Every line that is not written stays byte for
// byte, and the file is written back in the encoding and line ending it was read with.
class IniDocument {
 public:
  enum class Encoding { Utf8, Utf8Bom, Utf16LeBom };

  // An empty document: a new file, UTF-8 with LF.
  IniDocument() = default;
  // Decodes UTF-8 (with or without BOM) or UTF-16LE with BOM; CRLF, LF or CR line ends.
  static IniDocument FromBytes(std::string_view bytes);
  std::string ToBytes() const;

  // The value text (UTF-8) cut to its first `capacity` characters; empty when the section or
  // key is missing. The platform reader's buffer of n characters holds n - 1 of them.
  std::string Get(std::string_view section, std::string_view key, size_t capacity) const;
  bool Has(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;
  // Sets a key's value: the key's line is replaced, or the key is added after the last line of
  // its section, or the section is added at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  Encoding encoding() const { return encoding_; }

 private:
  struct Line {
    std::string text;  // UTF-8, without the line end
    std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
  };
  // The first section named `section`: its header line and the line after its last line.
  bool FindSection(std::string_view section, size_t* header, size_t* end) const;
  // The first line in [begin, end) that holds `key`.
  bool FindKey(size_t begin, size_t end, std::string_view key, size_t* index) const;
  std::string DefaultLineEnd() const;
  void InsertLine(size_t index, std::string text);

  std::vector<Line> lines_;
  Encoding encoding_ = Encoding::Utf8;
};

// The whole file, or nothing when it cannot be read (a folder included).
std::optional<std::string> ReadFileBytes(const std::string& path);

// Reads a profile file. A missing or unreadable file reads as an empty document; `exists`
// (when given) tells whether the file could be read.
IniDocument LoadIniFile(const std::string& path, bool* exists = nullptr);

// Reads the file, lets `edit` change the document and replaces the file once, atomically
// (temporary file in the same folder, fsync, rename, permissions kept): a kill at any moment
// leaves the old file or the new one. Updates of one path within this process are serialised,
// so the window and the executor never lose each other's writes. A file or folder that cannot
// be written leaves the file as it was and returns the reason.
Status UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& edit);

// Writes bytes to path by the same atomic replace. Used by every writer of the driver's files.
Status ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace kr450
