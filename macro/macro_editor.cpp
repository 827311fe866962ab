#include "macro/macro_editor.h"

#include <algorithm>
#include <optional>

#include "config/decimal.h"
#include "macro/event_menu.h"
#include "macro/key_display_name.h"
#include "macro/macro_file.h"

namespace kr450 {
namespace {

constexpr std::string_view PRESS_MARK = "[↓]";
constexpr std::string_view RELEASE_MARK = "[↑]";
constexpr std::string_view DELAY_INDENT = "    ";
constexpr std::string_view DELAY_UNIT = "ms";

// The name as the record keeps it: at most 19 UTF-16 code units.
std::string StoredName(std::string_view utf8) {
  MacroRecord record;
  SetMacroNameUtf8(record, utf8);
  return MacroNameUtf8(record);
}

// Moves slots from .. count-1 (event and delay together) one place up, from the highest down.
void OpenSlot(MacroRecord& record, int from, int count) {
  for (int j = count - 1; j >= from; --j) {
    record.events[static_cast<size_t>(j) + 1] = record.events[static_cast<size_t>(j)];
    record.delays[static_cast<size_t>(j) + 1] = record.delays[static_cast<size_t>(j)];
  }
}

// Moves slots from+1 .. last one place down over slot `from`.
void CloseSlot(MacroRecord& record, int from, int last) {
  for (int j = from; j < last; ++j) {
    record.events[static_cast<size_t>(j)] = record.events[static_cast<size_t>(j) + 1];
    record.delays[static_cast<size_t>(j)] = record.delays[static_cast<size_t>(j) + 1];
  }
}

}  // namespace

EventLine DelayLine(uint16_t ms) {
  return {std::string(DELAY_INDENT) + FormatDecimal(ms) + std::string(DELAY_UNIT),
          EventLineKind::Delay};
}

EventLine EventLineOf(const MacroEvent& event) {
  const std::string name(KeyDisplayName(event.keyCode));
  if (event.action == ACTION_PRESS) return {std::string(PRESS_MARK) + name, EventLineKind::Press};
  if (event.action == ACTION_RELEASE) {
    return {std::string(RELEASE_MARK) + name, EventLineKind::Release};
  }
  return {name, EventLineKind::Other};
}

MacroEditor::MacroEditor(MacroTable& table, MacroEditorControls& controls)
    : table_(table), controls_(controls) {
  // The last event of the selected macro is the line kept selected at start.
  table_.Edit([this](MacroTableData& data) {
    const int m = data.selectedMacro;
    if (m >= 0 && m < data.macroCount && m < MAX_MACROS) {
      const int count = data.records[static_cast<size_t>(m)].eventCount;
      state_.selectedLine = count > 0 ? 2 * count - 2 : 0;
    }
  });
}

void MacroEditor::RefreshMacroList() {
  const MacroTableData data = table_.Snapshot();
  controls_.ClearMacroLines();
  for (int i = 0; i < data.macroCount; ++i) {
    controls_.AppendMacroLine(MacroNameUtf8(data.records[static_cast<size_t>(i)]));
  }
  if (data.macroCount == 0) {
    // Nothing is left to show: the previous macro's lines and name go too.
    controls_.SetNameText("");
    ShowMacroEvents(0);
    return;
  }
  const int s = std::clamp(data.selectedMacro, 0, std::max(controls_.MacroLineCount() - 1, 0));
  table_.Edit([s](MacroTableData& d) { d.selectedMacro = s; });
  controls_.SelectMacroLine(s);
  ShowSelectedMacro();
}

void MacroEditor::ShowSelectedMacro() {
  if (state_.recording) {
    // The recorded macro stays the one shown until the recording stops.
    controls_.SelectMacroLine(state_.recordingMacro);
    return;
  }
  const int line = controls_.SelectedMacroLine();
  if (line < 0) return;
  table_.Edit([line](MacroTableData& d) { d.selectedMacro = line; });
  controls_.SetNameText(controls_.MacroLineText(line));
  ShowMacroEvents(line);
}

void MacroEditor::ShowMacroEvents(int macro) {
  ClearEventView();
  const std::optional<MacroRecord> record = table_.CopyForPlayback(macro);
  if (!record) {
    ShowRepeat(false, 1);
    controls_.RepaintWindow();
    return;
  }
  for (int j = 0; j < record->eventCount; ++j) AppendLinesOf(*record, j);
  // A macro without events shows its own repeat setting too, not the previous macro's.
  ShowRepeat(record->repeatEnabled == 1, record->RepeatCount());
  if (record->eventCount == 0) controls_.RepaintWindow();
}

void MacroEditor::AddEventLines(int macro, int slot) {
  const std::optional<MacroRecord> record = table_.CopyForPlayback(macro);
  if (record) AppendLinesOf(*record, slot);
}

void MacroEditor::AppendLinesOf(const MacroRecord& record, int slot) {
  if (slot < 0 || slot >= MACRO_EVENT_SLOTS) return;
  if (slot > 0) controls_.AppendEventLine(DelayLine(record.Delay(slot - 1)));
  const MacroEvent& event = record.events[static_cast<size_t>(slot)];
  if (event.action == ACTION_PRESS) ++state_.pressLineCount;
  if (event.action == ACTION_RELEASE) ++state_.releaseLineCount;
  controls_.AppendEventLine(EventLineOf(event));
  controls_.RepaintWindow();
  controls_.SelectEventLine(state_.recording ? controls_.EventLineCount() - 1
                                             : state_.selectedLine);
}

void MacroEditor::ShowRepeat(bool enabled, uint16_t count) {
  controls_.SetRepeatText(enabled ? FormatDecimal(count) : "1");
  controls_.SetRepeatEnabled(enabled);
}

void MacroEditor::ClearEventView() {
  state_.pressLineCount = 0;
  state_.releaseLineCount = 0;
  controls_.ClearEventLines();
}

int MacroEditor::FindMacroByName(std::string_view utf8) const {
  const MacroTableData data = table_.Snapshot();
  for (int i = 0; i < data.macroCount; ++i) {
    if (MacroNameUtf8(data.records[static_cast<size_t>(i)]) == utf8) return i;
  }
  return data.macroCount;
}

void MacroEditor::AddMacro() {
  // A longer name is kept as the record stores it, and found again under that name.
  const std::string name = StoredName(controls_.NameText());
  controls_.FocusMacroList();
  if (state_.recording || name.empty() || table_.Count() >= MAX_MACROS) return;
  const int i = FindMacroByName(name);
  const bool added = table_.Edit([&](MacroTableData& d) {
    // The table may have changed between the two calls only on this thread: it has not.
    d.selectedMacro = i;
    if (i != d.macroCount) return false;
    d.records[static_cast<size_t>(i)] = NewMacro(u"");
    SetMacroNameUtf8(d.records[static_cast<size_t>(i)], name);
    ++d.macroCount;
    return true;
  });
  if (added) {
    controls_.ClearEventLines();
    controls_.AppendMacroLine(name);
  }
  controls_.SelectMacroLine(i);
  // The macro chosen is shown in full, its events and repeat setting included.
  ShowSelectedMacro();
}

void MacroEditor::DeleteMacro() {
  if (state_.recording || controls_.MacroLineCount() == 0) return;
  const int d = controls_.SelectedMacroLine();
  const int count = table_.Count();
  if (d < 0 || d >= count) return;
  table_.Edit([d](MacroTableData& data) {
    for (int i = d; i + 1 < data.macroCount; ++i) {
      data.records[static_cast<size_t>(i)] = data.records[static_cast<size_t>(i) + 1];
    }
  });
  controls_.DeleteMacroLine(d);
  const int e = d >= 1 ? d - 1 : 0;
  controls_.SelectMacroLine(e);
  table_.Edit([e](MacroTableData& data) { data.selectedMacro = e; });
  if (controls_.MacroLineCount() == 0) {
    controls_.SetNameText("");
    ShowRepeat(false, 1);
  } else {
    controls_.SetNameText(controls_.MacroLineText(e));
  }
  table_.Edit([](MacroTableData& data) {
    // The record the move vacated keeps its name and slots but plays nothing.
    MacroRecord& vacated = data.records[static_cast<size_t>(data.macroCount - 1)];
    vacated.repeatEnabled = 0;
    vacated.SetRepeatCount(1);
    vacated.eventCount = 0;
    --data.macroCount;
  });
  ShowMacroEvents(e);
}

void MacroEditor::ToggleRepeat() {
  const std::optional<MacroRecord> shown = table_.Edit([](MacroTableData& d) {
    const int m = d.selectedMacro;
    if (m < 0 || m >= d.macroCount) return std::optional<MacroRecord>();
    MacroRecord& record = d.records[static_cast<size_t>(m)];
    record.repeatEnabled = record.repeatEnabled == 0 ? 1 : 0;
    return std::optional<MacroRecord>(record);
  });
  if (!shown) return;
  ShowRepeat(shown->repeatEnabled == 1, shown->RepeatCount());
  controls_.RepaintWindow();
}

Status MacroEditor::SaveMacros(const std::string& path) {
  const int32_t typed = ParseDecimal(controls_.RepeatText());
  const int v = std::clamp<int32_t>(typed, 1, MAX_REPEAT_COUNT);
  if (v != typed) controls_.SetRepeatText(FormatDecimal(v));
  table_.Edit([v](MacroTableData& d) {
    const int m = d.selectedMacro;
    if (m >= 0 && m < d.macroCount) {
      d.records[static_cast<size_t>(m)].SetRepeatCount(static_cast<uint16_t>(v));
    }
  });
  return SaveMacroFile(table_, path);
}

void MacroEditor::OnRightButtonUp(const EventListClick& click,
                                  const std::function<int()>& runMenu) {
  if (state_.recording) return;
  const int64_t h = click.lineHeight;
  const int64_t line = h != 0 ? (int64_t{click.firstVisibleLine} * h + click.y) / h : 0;
  state_.selectedLine =
      static_cast<int>(std::clamp<int64_t>(line, -1, int64_t{MACRO_EVENT_SLOTS} * 2));
  controls_.SelectEventLine(state_.selectedLine);
  state_.menuLineCount = controls_.EventLineCount();
  const bool inside =
      click.x >= 0 && click.y >= 0 && click.x < click.width && click.y < click.height;
  int command = 0;
  if (inside && (state_.selectedLine < state_.menuLineCount || state_.menuLineCount == 0)) {
    command = runMenu();
  }
  state_.editMacro = std::min(controls_.SelectedMacroLine(), MAX_MACROS - 1);
  const int selected = controls_.SelectedEventLine();
  state_.editSlot = selected >= 0 ? selected / 2 : 0;
  state_.editLineChosen = selected >= 0 || controls_.EventLineCount() == 0;
  if (command != 0) OnCommand(command);
}

bool MacroEditor::EditTargetValid() const {
  return !state_.recording && state_.editLineChosen && state_.editMacro >= 0 &&
         state_.editMacro < table_.Count();
}

void MacroEditor::OnCommand(int command) {
  if (!EditTargetValid()) return;
  if (const std::optional<InsertCommand> insert = InsertCommandOf(command)) {
    if (!insert->after) {
      InsertEvent(state_.editMacro, state_.editSlot, insert->event);
    } else if (controls_.EventLineCount() > 0) {
      InsertEvent(state_.editMacro, state_.editSlot + 1, insert->event);
    } else {
      InsertEvent(state_.editMacro, 0, insert->event);
      state_.selectedLine = 0;
    }
    ShowMacroEvents(state_.editMacro);
  } else if (command == CMD_MODIFY_DELAY) {
    const bool delayLine =
        state_.selectedLine % 2 == 1 && state_.selectedLine < controls_.EventLineCount();
    if (state_.menuLineCount != 0 && delayLine) controls_.BeginDelayEdit();
  } else if (command == CMD_DELETE_EVENT) {
    DeleteEvent();
    ShowMacroEvents(state_.editMacro);
  }
}

bool MacroEditor::InsertEvent(int macro, int position, MacroEvent event) {
  const std::optional<MacroRecord> record = table_.CopyForPlayback(macro);
  if (!record) return false;
  if (record->eventCount >= MAX_EDITED_EVENTS) {
    controls_.ShowOverflow();
    return false;
  }
  if (position < 0 || position > record->eventCount) return false;
  table_.Edit([&](MacroTableData& d) {
    MacroRecord& r = d.records[static_cast<size_t>(macro)];
    OpenSlot(r, position, r.eventCount);
    ++r.eventCount;
    r.events[static_cast<size_t>(position)] = event;
    r.SetDelay(position, DEFAULT_EVENT_DELAY);
  });
  state_.selectedLine += 2;
  return true;
}

void MacroEditor::DeleteEvent() {
  const int macro = state_.editMacro;
  const int slot = state_.editSlot;
  if (macro < 0 || macro >= table_.Count()) return;
  table_.Edit([macro, slot](MacroTableData& d) {
    MacroRecord& r = d.records[static_cast<size_t>(macro)];
    const int n = std::max(r.eventCount - 1, 0);
    r.eventCount = static_cast<uint8_t>(n);
    if (slot < n) CloseSlot(r, slot, n);
  });
  state_.selectedLine = state_.selectedLine > 2 ? state_.selectedLine - 2 : 0;
}

void MacroEditor::OnDelayEdited() {
  if (!EditTargetValid()) return;
  std::string text = controls_.EventLineText(state_.selectedLine);
  if (const size_t unit = text.find(DELAY_UNIT); unit != std::string::npos) text.resize(unit);
  // A typed value outside what the delay field holds is kept at the nearer bound.
  const int v = std::clamp<int32_t>(ParseDecimal(text), 0, MAX_TYPED_DELAY);
  const int macro = state_.editMacro;
  const int slot = state_.editSlot;
  table_.Edit([&](MacroTableData& d) {
    MacroRecord& r = d.records[static_cast<size_t>(macro)];
    if (slot < r.eventCount) r.SetDelay(slot, static_cast<uint16_t>(v));
  });
  ShowMacroEvents(macro);
}

void MacroEditor::SetRecording(bool recording, int macro) {
  state_.recording = recording;
  state_.recordingMacro = macro;
}

uint8_t MacroEditor::SelectedRepeatEnabled() const {
  return table_.Edit([](MacroTableData& d) -> uint8_t {
    const int m = d.selectedMacro;
    return m >= 0 && m < d.macroCount ? d.records[static_cast<size_t>(m)].repeatEnabled : 0;
  });
}

}  // namespace kr450
