// The macro file reader on arbitrary bytes: it must stay within the table, and what it read
// must survive an encode and decode, and a write and read of the document, unchanged.
// Its seeds are small files (a short macro, damaged counts and values, other encodings) and
// one full shipped file: every large seed raises the length of what is tried and slows each
// execution, while the small ones reach the same code.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/ini_file.h"
#include "macro/macro_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kr450;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  MacroRecord direct = DecodeMacroRecord(bytes);
  Check(DecodeMacroRecord(EncodeMacroRecord(direct)) == direct);
  int16_t count = MacroCountFromText(bytes);
  Check(count >= 0 && count <= MAX_MACROS);

  const IniDocument doc = IniDocument::FromBytes(bytes);
  MacroTableData table;
  ReadMacroDocument(doc, table);
  Check(table.macroCount >= 0 && table.macroCount <= MAX_MACROS);
  Check(table.selectedMacro == (table.macroCount > 0 ? table.macroCount - 1 : 0));
  for (int i = 0; i < table.macroCount; ++i) {
    Check(EncodeMacroRecord(table.records[i]).size() == MACRO_ENCODING_LENGTH);
    Check(MacroName(table.records[i]).size() <= MACRO_NAME_MAX_LENGTH);
  }

  // Saving into the same document and reading it back gives the same macros.
  IniDocument saved = doc;
  WriteMacroDocument(saved, table);
  MacroTableData reread;
  ReadMacroDocument(IniDocument::FromBytes(saved.ToBytes()), reread);
  Check(reread.macroCount == table.macroCount);
  for (int i = 0; i < table.macroCount; ++i) Check(reread.records[i] == table.records[i]);
  return 0;
}
