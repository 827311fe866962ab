#pragma once

#include <cstddef>
#include <functional>
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

// Reads a profile file that a user or a skin names. Nothing at the path gives a NotFound
// status; a file that is not a regular file, or larger than any profile file could be, is
// refused (see ReadRegularFile).
Result<IniDocument> ReadIniFile(const std::string& path);

// The profile functions' read: a missing, unreadable or refused file reads as an empty
// document.
IniDocument LoadIniFile(const std::string& path);

// Reads the file, lets `edit` change the document and replaces the file once, atomically
// (see ReplaceFileAtomically): a kill at any moment leaves the old file or the new one.
// Updates of one path within this process are serialised, so the window and the executor
// never lose each other's writes. A file or folder that cannot be written, and a path that
// holds something other than a regular file, are left as they were and the reason returned.
Status UpdateIniFile(const std::string& path, const std::function<void(IniDocument&)>& edit);

}  // namespace kr450
