#pragma once

// The event list's context menu: two insert submenus (before and after the line), each with
// a submenu per mouse button offering its press and release, then the delay edit and the
// delete. Plain data, so that the Qt menu is built from it and the editor reads its commands.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "macro/macro_record.h"
#include "ui/ui_texts.h"

namespace kr450 {

inline constexpr int CMD_ADD_BEFORE_LEFT_PRESS = 32802;  // .. 32807
inline constexpr int CMD_ADD_AFTER_LEFT_PRESS = 32809;   // .. 32814
inline constexpr int CMD_MODIFY_DELAY = 32780;
inline constexpr int CMD_DELETE_EVENT = 32781;

struct EventMenuLeaf {
  std::string_view label;
  int command;
};

struct EventMenuButton {
  std::string_view label;
  EventMenuLeaf press;
  EventMenuLeaf release;
};

struct EventMenuInsert {
  std::string_view label;
  std::array<EventMenuButton, 3> buttons;  // left, right, middle
};

constexpr EventMenuInsert MakeInsertMenu(std::string_view label, int first) {
  auto button = [first](std::string_view name, int index) {
    return EventMenuButton{name,
                           {EVENT_MENU_PRESS_TEXT, first + 2 * index},
                           {EVENT_MENU_RELEASE_TEXT, first + 2 * index + 1}};
  };
  return {label,
          {button(EVENT_MENU_LEFT_TEXT, 0), button(EVENT_MENU_RIGHT_TEXT, 1),
           button(EVENT_MENU_MIDDLE_TEXT, 2)}};
}

inline constexpr std::array<EventMenuInsert, 2> EVENT_MENU_INSERTS = {
    MakeInsertMenu(EVENT_MENU_ADD_BEFORE_TEXT, CMD_ADD_BEFORE_LEFT_PRESS),
    MakeInsertMenu(EVENT_MENU_ADD_AFTER_TEXT, CMD_ADD_AFTER_LEFT_PRESS)};
inline constexpr EventMenuLeaf EVENT_MENU_MODIFY_DELAY{EVENT_MENU_MODIFY_DELAY_TEXT,
                                                       CMD_MODIFY_DELAY};
inline constexpr EventMenuLeaf EVENT_MENU_DELETE{EVENT_MENU_DELETE_TEXT, CMD_DELETE_EVENT};

// What an insert command inserts, and where.
struct InsertCommand {
  bool after = false;  // after the line's event instead of before it
  MacroEvent event;
};

// The insert command of an id, or nothing for the other ids.
constexpr std::optional<InsertCommand> InsertCommandOf(int command) {
  for (int after = 0; after < 2; ++after) {
    const int offset =
        command - (after != 0 ? CMD_ADD_AFTER_LEFT_PRESS : CMD_ADD_BEFORE_LEFT_PRESS);
    if (offset < 0 || offset >= 6) continue;
    const auto key = static_cast<uint8_t>(KEY_MOUSE_LEFT + offset / 2);
    const uint8_t action = offset % 2 == 0 ? ACTION_PRESS : ACTION_RELEASE;
    return InsertCommand{after != 0, MacroEvent{key, action}};
  }
  return std::nullopt;
}

}  // namespace kr450
