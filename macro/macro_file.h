#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/ini_file.h"
#include "config/status.h"
#include "macro/macro_table.h"

namespace kr450 {

// Macro files (Macro.dat, defMacro.dat, imports and exports) are profile files with one
// section "Macros": "macroNum" = the count, and "0", "1", ... = the records, each encoded as
// 1064 bytes of three decimal digits (3192 characters). The file interleaves each slot's event
// and delay; the record keeps them in two arrays.
inline constexpr std::string_view MACRO_SECTION = "Macros";
inline constexpr std::string_view MACRO_COUNT_KEY = "macroNum";
inline constexpr size_t MACRO_ENCODING_LENGTH = 3 * MACRO_RECORD_IMAGE_SIZE;

// Offset in the record image of the byte that file position p (0..1063) holds.
constexpr size_t ImageOffsetOfFilePosition(size_t p) {
  constexpr size_t kSlots = 44;  // first slot position in both layouts
  if (p < kSlots) return p;
  size_t slot = (p - kSlots) / 4;
  switch ((p - kSlots) % 4) {
    case 0:
      return kSlots + 2 * slot;  // keyCode
    case 1:
      return kSlots + 2 * slot + 1;  // action
    case 2:
      return offsetof(MacroRecord, delays) + 2 * slot;  // delay, low byte
    default:
      return offsetof(MacroRecord, delays) + 2 * slot + 1;  // delay, high byte
  }
}

std::string EncodeMacroRecord(const MacroRecord& record);
// Each triple is read as a decimal number (leading blanks and a sign allowed, stopping at the
// first other character) and keeps its low 8 bits; whatever the text does not cover reads as 0.
MacroRecord DecodeMacroRecord(std::string_view text);

// The count a "macroNum" value gives: its first two characters as a decimal number, with a
// negative count read as 0 and at most the 12 macros the table holds.
int16_t MacroCountFromText(std::string_view text);

// Pure conversions between a document and the table. Reading fills records 0 .. count-1 of
// `into` and leaves the others; writing sets "macroNum" and keys "0" .. count-1 and leaves
// every other key (higher indices from an earlier, longer save included).
void ReadMacroDocument(const IniDocument& doc, MacroTableData& into);
void WriteMacroDocument(IniDocument& doc, const MacroTableData& data);

// Reads a macro file into the table: replaces the count and the records it names and selects
// the last macro. A file that is missing, or is not a regular file or too large to be a macro
// file, leaves the table with no macros and gives a NotFound status with the reason: the
// caller shows the user that the file is missing.
Status LoadMacroFile(MacroTable& table, const std::string& path);

// Writes the count and the macros in one atomic replace; the file's other lines stay.
Status SaveMacroFile(const MacroTable& table, const std::string& path);

// Import and export of a file the user chose. An import of a file that cannot be read gives
// NotFound, as the load does, and, unlike the load, keeps the macros in memory. An export to a name
// without an extension appends ".dat"; anything but a regular file or a new one is refused
// and left untouched.
Status ImportMacros(MacroTable& table, const std::string& path);
Status ExportMacros(const MacroTable& table, const std::string& path);
std::string WithDefaultMacroExtension(const std::string& path);

// The macro step of the reset: the default macros replace the table and are saved as the
// user's macro file. When the default file cannot be read the result is NotFound and neither
// the table nor the user's file changes.
Status ResetMacrosToDefaults(MacroTable& table, const std::string& defaultsPath,
                             const std::string& userPath);

}  // namespace kr450
