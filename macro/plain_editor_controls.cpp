#include "macro/plain_editor_controls.h"

namespace kr450 {
namespace {

template <typename T>
bool Has(const std::vector<T>& lines, int line) {
  return line >= 0 && static_cast<size_t>(line) < lines.size();
}

}  // namespace

int PlainEditorControls::MacroLineCount() const {
  return static_cast<int>(macroLines.size());
}

std::string PlainEditorControls::MacroLineText(int line) const {
  return Has(macroLines, line) ? macroLines[static_cast<size_t>(line)] : std::string();
}

void PlainEditorControls::ClearMacroLines() {
  macroLines.clear();
  selectedMacroLine = NO_LINE;
}

void PlainEditorControls::AppendMacroLine(std::string_view text) {
  macroLines.emplace_back(text);
}

// As a list box does: the lines after it move up and so does their selection.
void PlainEditorControls::DeleteMacroLine(int line) {
  if (!Has(macroLines, line)) return;
  macroLines.erase(macroLines.begin() + line);
  if (selectedMacroLine == line) {
    selectedMacroLine = NO_LINE;
  } else if (selectedMacroLine > line) {
    --selectedMacroLine;
  }
}

void PlainEditorControls::SelectMacroLine(int line) {
  selectedMacroLine = Has(macroLines, line) ? line : NO_LINE;
}

int PlainEditorControls::EventLineCount() const {
  return static_cast<int>(eventLines.size());
}

std::string PlainEditorControls::EventLineText(int line) const {
  return Has(eventLines, line) ? eventLines[static_cast<size_t>(line)].text : std::string();
}

void PlainEditorControls::ClearEventLines() {
  eventLines.clear();
  selectedEventLine = NO_LINE;
}

void PlainEditorControls::AppendEventLine(const EventLine& line) {
  eventLines.push_back(line);
}

void PlainEditorControls::SelectEventLine(int line) {
  selectedEventLine = Has(eventLines, line) ? line : NO_LINE;
}

std::vector<std::string> PlainEditorControls::EventTexts() const {
  std::vector<std::string> texts;
  for (const EventLine& line : eventLines) texts.push_back(line.text);
  return texts;
}

}  // namespace kr450
