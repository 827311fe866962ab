#pragma once

#include <string>
#include <vector>

#include "macro/macro_editor_controls.h"

namespace kr450 {

// The editor's controls as plain data: what the lists hold and select, what the fields show.
// The tests drive the editor through it and read the result; it stands in for the page when
// its widgets do not exist.
class PlainEditorControls final : public MacroEditorControls {
 public:
  std::vector<std::string> macroLines;
  int selectedMacroLine = NO_LINE;
  std::vector<EventLine> eventLines;
  int selectedEventLine = NO_LINE;
  std::string nameText;
  std::string repeatText;
  bool repeatEnabled = true;
  // How often each window service was asked for.
  int delayEditsBegun = 0;
  int repaints = 0;
  int overflowsShown = 0;
  enum class Focus { None, MacroList, EventList } focus = Focus::None;

  int MacroLineCount() const override;
  std::string MacroLineText(int line) const override;
  void ClearMacroLines() override;
  void AppendMacroLine(std::string_view text) override;
  void DeleteMacroLine(int line) override;
  int SelectedMacroLine() const override { return selectedMacroLine; }
  void SelectMacroLine(int line) override;

  int EventLineCount() const override;
  std::string EventLineText(int line) const override;
  void ClearEventLines() override;
  void AppendEventLine(const EventLine& line) override;
  int SelectedEventLine() const override { return selectedEventLine; }
  void SelectEventLine(int line) override;
  void BeginDelayEdit() override { ++delayEditsBegun; }

  std::string NameText() const override { return nameText; }
  void SetNameText(std::string_view text) override { nameText = text; }
  std::string RepeatText() const override { return repeatText; }
  void SetRepeatText(std::string_view text) override { repeatText = text; }
  void SetRepeatEnabled(bool enabled) override { repeatEnabled = enabled; }

  void FocusMacroList() override { focus = Focus::MacroList; }
  void FocusEventList() override { focus = Focus::EventList; }
  void RepaintWindow() override { ++repaints; }
  void ShowOverflow() override { ++overflowsShown; }

  // The event list's texts, in order.
  std::vector<std::string> EventTexts() const;
};

}  // namespace kr450
