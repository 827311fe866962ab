#pragma once

// The four child controls of the advanced page as the macro editor sees them: the macro list,
// the event list, the name field and the repeat-count field, plus the few window services the
// editor needs. The Qt page implements it over its widgets; PlainEditorControls keeps the
// same state as plain data for the tests.
//
// Every call comes from the window thread. None of them calls back into the editor: a
// selection made here is not reported as the user's choice.

#include <cstdint>
#include <string>
#include <string_view>

namespace kr450 {

enum class EventLineKind : uint8_t {
  Press,    // "[↓]" and the key's name
  Release,  // "[↑]" and the key's name
  Other,    // an event of another action: the name alone
  Delay,    // "    30ms"
};

// One line of the event list: what it shows and what it stands for.
struct EventLine {
  std::string text;
  EventLineKind kind = EventLineKind::Delay;
  friend bool operator==(const EventLine&, const EventLine&) = default;
};

inline constexpr int NO_LINE = -1;

class MacroEditorControls {
 public:
  virtual ~MacroEditorControls() = default;

  // The macro list: one line per macro name.
  virtual int MacroLineCount() const = 0;
  virtual std::string MacroLineText(int line) const = 0;  // "" for a line that is not there
  virtual void ClearMacroLines() = 0;
  virtual void AppendMacroLine(std::string_view text) = 0;
  virtual void DeleteMacroLine(int line) = 0;
  virtual int SelectedMacroLine() const = 0;   // NO_LINE when none is selected
  virtual void SelectMacroLine(int line) = 0;  // a line that is not there selects none

  // The event list.
  virtual int EventLineCount() const = 0;
  virtual std::string EventLineText(int line) const = 0;  // "" for a line that is not there
  virtual void ClearEventLines() = 0;
  virtual void AppendEventLine(const EventLine& line) = 0;
  virtual int SelectedEventLine() const = 0;
  virtual void SelectEventLine(int line) = 0;
  // Opens the in-place editor over the selected line. When the edit ends, however it ends,
  // the page calls MacroEditor::OnDelayEdited.
  virtual void BeginDelayEdit() = 0;

  // The two fields.
  virtual std::string NameText() const = 0;
  virtual void SetNameText(std::string_view text) = 0;
  virtual std::string RepeatText() const = 0;
  virtual void SetRepeatText(std::string_view text) = 0;
  virtual void SetRepeatEnabled(bool enabled) = 0;

  // The window.
  virtual void FocusMacroList() = 0;
  virtual void FocusEventList() = 0;
  virtual void RepaintWindow() = 0;  // the counters and the repeat mark are drawn on it
  virtual void ShowOverflow() = 0;   // the message box "Overflow!!!"; blocks until OK
};

}  // namespace kr450
