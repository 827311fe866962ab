#pragma once

// The macro editor of the advanced page, without Qt: it lists the macros, shows the events of
// the selected one as lines, adds, deletes and saves macros, switches repetition, and changes
// events through the event list's context menu and the in-place delay edit. It works on the
// macro table and on the page's controls (MacroEditorControls); the recorder fills the same
// event list through AddEventLines.
//
// Everything runs on the window thread. The table's mutex is never held while a control is
// called, so a control may repaint the window, which reads the table.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "config/status.h"
#include "macro/macro_editor_controls.h"
#include "macro/macro_table.h"

namespace kr450 {

inline constexpr int MAX_TYPED_DELAY = 65535;
inline constexpr int MAX_REPEAT_COUNT = 65535;
// An insert into a macro that holds this many events is refused with "Overflow!!!".
inline constexpr int MAX_EDITED_EVENTS = 254;

// The editor's own state; the macro shown is the table's selectedMacro, which a load sets.
struct MacroEditorState {
  int selectedLine = 0;  // the event line the editor keeps selected
  int editMacro = 0;     // the macro the context-menu commands act on
  int editSlot = 0;      // the event slot they act on: line / 2
  // The last right-click found a line to act on (or an empty list to insert into); the
  // commands do nothing otherwise.
  bool editLineChosen = false;
  int menuLineCount = 0;  // event lines at the last right-click
  int pressLineCount = 0;
  int releaseLineCount = 0;
  bool recording = false;
  int recordingMacro = 0;
};

// A right button release, with the pointer relative to the top-left corner of the event
// list's client area, and the list's scroll position and line height.
struct EventListClick {
  int x = 0;
  int y = 0;
  int width = 0;   // of the client area
  int height = 0;  // of the client area
  int firstVisibleLine = 0;
  int lineHeight = 0;
};

// The lines of a delay and of an event.
EventLine DelayLine(uint16_t ms);
EventLine EventLineOf(const MacroEvent& event);

class MacroEditor {
 public:
  MacroEditor(MacroTable& table, MacroEditorControls& controls);

  // Display.
  void RefreshMacroList();   // refills the macro list and shows the selected macro
  void ShowSelectedMacro();  // the user changed the macro list's selection
  void ShowMacroEvents(int macro);
  void AddEventLines(int macro, int slot);
  int FindMacroByName(std::string_view utf8) const;  // macroCount when no macro has it

  // The advanced page's buttons.
  void AddMacro();
  void DeleteMacro();
  void ToggleRepeat();
  // The repeat count from its field (corrected to 1..65535), then the macro file at `path`.
  Status SaveMacros(const std::string& path);

  // A right button release on the page while it shows. `runMenu` shows the context menu at
  // the pointer and returns the command chosen, or 0; it is called only when the pointer is
  // on a line of the event list or the list is empty. The command runs after the menu closed.
  void OnRightButtonUp(const EventListClick& click, const std::function<int()>& runMenu);
  void OnCommand(int command);
  // The in-place edit of the selected delay line ended (kept, dropped or unchanged).
  void OnDelayEdited();

  bool InsertEvent(int macro, int position, MacroEvent event);
  void DeleteEvent();

  // The recorder's hold on the view: while recording, the commands and the macro buttons
  // leave the table alone and the macro list keeps the recorded macro selected.
  void SetRecording(bool recording, int macro);
  void ClearEventView();  // no lines, both counters 0

  const MacroEditorState& state() const { return state_; }
  MacroEditorControls& controls() { return controls_; }
  // repeatEnabled of the selected macro; 0 without one.
  uint8_t SelectedRepeatEnabled() const;

 private:
  void AppendLinesOf(const MacroRecord& record, int slot);
  void ShowRepeat(bool enabled, uint16_t count);
  bool EditTargetValid() const;

  MacroTable& table_;
  MacroEditorControls& controls_;
  MacroEditorState state_;
};

}  // namespace kr450
