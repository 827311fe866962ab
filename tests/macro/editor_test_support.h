#pragma once

// A macro table, the page's controls as plain data and the editor on them.

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "macro/macro_editor.h"
#include "macro/macro_table.h"
#include "macro/plain_editor_controls.h"

namespace kr450::test {

inline constexpr uint8_t VK_A = 0x41;
inline constexpr uint8_t VK_B = 0x42;

struct TimedEvent {
  uint8_t key;
  uint8_t action;
  uint16_t delay;
  friend bool operator==(const TimedEvent&, const TimedEvent&) = default;
};

inline void PrintTo(const TimedEvent& e, std::ostream* os) {
  *os << "{" << int{e.key} << "," << int{e.action} << "," << e.delay << "}";
}

inline MacroRecord Macro(std::u16string_view name, const std::vector<TimedEvent>& events) {
  MacroRecord record = NewMacro(name);
  record.eventCount = static_cast<uint8_t>(events.size());
  for (size_t j = 0; j < events.size(); ++j) {
    record.events[j] = {events[j].key, events[j].action};
    record.SetDelay(static_cast<int>(j), events[j].delay);
  }
  return record;
}

// A tap of `key`: press, delay, release, delay.
inline std::vector<TimedEvent> Tap(uint8_t key, uint16_t delay = DEFAULT_EVENT_DELAY) {
  return {{key, ACTION_PRESS, delay}, {key, ACTION_RELEASE, delay}};
}

inline std::vector<TimedEvent> Taps(int count) {
  std::vector<TimedEvent> events;
  for (int i = 0; i < count; ++i) {
    for (const TimedEvent& e : Tap(static_cast<uint8_t>(VK_A + i % 26))) events.push_back(e);
  }
  return events;
}

class EditorFixture {
 public:
  explicit EditorFixture(const std::vector<MacroRecord>& macros, int selected = -1) {
    table.Edit([&](MacroTableData& d) {
      for (size_t i = 0; i < macros.size(); ++i) d.records[i] = macros[i];
      d.macroCount = static_cast<int16_t>(macros.size());
      d.selectedMacro = selected >= 0 ? selected : std::max<int>(d.macroCount - 1, 0);
    });
    editor.RefreshMacroList();
  }

  MacroRecord Record(int i) const { return table.Snapshot().records[static_cast<size_t>(i)]; }
  std::vector<MacroEvent> Events(int i) const {
    MacroRecord r = Record(i);
    return {r.events.begin(), r.events.begin() + r.eventCount};
  }
  std::vector<uint16_t> Delays(int i) const {
    MacroRecord r = Record(i);
    std::vector<uint16_t> delays;
    for (int j = 0; j < r.eventCount; ++j) delays.push_back(r.Delay(j));
    return delays;
  }

  // A right-click on `line` of a list of 16-pixel lines scrolled to `top`, answering the menu
  // with `command`; whether the menu opened.
  bool RightClick(int line, int command, int top = 0) {
    bool opened = false;
    EventListClick click{10, (line - top) * 16 + 3, 100, 160, top, 16};
    editor.OnRightButtonUp(click, [&] {
      opened = true;
      return command;
    });
    return opened;
  }

  MacroTable table;
  PlainEditorControls controls;
  MacroEditor editor{table, controls};
};

}  // namespace kr450::test
