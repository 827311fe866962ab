#pragma once

#include "config/device_config.h"

// What each entry of the skin rectangle tables is. The skin gives positions and captions; the
// meaning of every index is fixed.
namespace kr450 {

namespace main_item {
// The frame: drawn and active on all three pages.
inline constexpr int SAVE = 0;
inline constexpr int STATUS_LINE = 1;  // caption replaced before every paint
inline constexpr int DRIVER_MODE = 2;  // revert to the applied configuration and hide
inline constexpr int APPLY = 3;
inline constexpr int FIRST_CONFIG = 4;  // configurations 1..5: 4..8
inline constexpr int TAB_MAIN = 9;
inline constexpr int TAB_ADVANCED = 10;
inline constexpr int TAB_LIGHTING = 11;
inline constexpr int MINIMISE = 12;
inline constexpr int CLOSE = 13;
inline constexpr int IMPORT = 14;
inline constexpr int EXPORT = 15;
inline constexpr int RESET = 16;
inline constexpr int LAST_FRAME = 16;
// The main page.
inline constexpr int FIRST_SLOT = 17;          // button slots 1..6: 17..22
inline constexpr int FIRST_STAGE_ENABLE = 27;  // stages 1..4: 27..30
inline constexpr int WHEEL_OFF = 32;
inline constexpr int WHEEL_ON = 33;
inline constexpr int FIRST_STAGE_SELECT = 41;  // 41..44
inline constexpr int FIRST_KNOB_PLACE = 45;    // 45..64, see KnobPlace
inline constexpr int LAST_HOVER = 64;          // entries after it are never under the pointer
inline constexpr int FIRST_STAGE_MARKER = 65;  // current-stage marker of stages 1..4: 65..68
inline constexpr int FIRST_PROMPT = 69;        // start prompt of mouse buttons 1..6: 69..74
inline constexpr int CAPTION_COUNT = 37;       // entries 0..36 have their captions drawn

inline constexpr int Config(int number) {
  return FIRST_CONFIG + number - 1;
}
inline constexpr int Slot(int button) {
  return FIRST_SLOT + button - 1;
}
// The knob places: one per step value of each stage, stage after stage. The one rule that
// ties a place to its stage and step value.
inline constexpr int KNOB_PLACES_PER_STAGE = MAX_STAGE_VALUE + 1;
// Knob place of step value `value` (0..4) of stage `stage` (0..3).
inline constexpr int KnobPlace(int stage, int value) {
  return FIRST_KNOB_PLACE + KNOB_PLACES_PER_STAGE * stage + value;
}
// The stage and step value of a knob place (45..64).
struct KnobStep {
  int stage = 0;
  int value = 0;
};
inline constexpr KnobStep KnobStepAt(int place) {
  const int offset = place - FIRST_KNOB_PLACE;
  return {offset / KNOB_PLACES_PER_STAGE, offset % KNOB_PLACES_PER_STAGE};
}
static_assert(KnobPlace(STAGE_COUNT - 1, MAX_STAGE_VALUE) == LAST_HOVER);
// Captions without an action.
inline constexpr int LABELS[] = {23, 24, 25, 26, 31, 34, 35, 36};
// No caption, no action, a pointer-over look.
inline constexpr int FIRST_DECORATION = 37;  // 37..40
}  // namespace main_item

namespace lighting_item {
inline constexpr int FIRST_MODE = 0;  // lighting modes 0..3
inline constexpr int HOVER_ONLY = 4;
inline constexpr int LABELS[] = {5, 6, 7, 8, 10};
inline constexpr int DPI_VALUE = 9;  // caption replaced by the current stage's DPI
inline constexpr int PREVIEW = 11;
inline constexpr int LAST_HOVER = 4;
}  // namespace lighting_item

namespace advanced_item {
inline constexpr int IMPORT_MACROS = 0;
inline constexpr int EXPORT_MACROS = 1;
inline constexpr int ADD_MACRO = 2;
inline constexpr int DELETE_MACRO = 3;
inline constexpr int RECORD = 4;  // caption replaced: record / stop
inline constexpr int SAVE_MACROS = 5;
inline constexpr int REPEAT = 6;
inline constexpr int MACRO_MODE = 7;
inline constexpr int FIRST_POINTER_SPEED = 8;  // 8, 9, 10: the stored value is the index
inline constexpr int HOVER_ONLY = 11;
inline constexpr int PRESS_COUNT = 14;    // caption replaced
inline constexpr int RELEASE_COUNT = 15;  // caption replaced
inline constexpr int LABELS[] = {12, 13, 16, 17, 18, 19};
inline constexpr int LAST_HOVER = 11;
}  // namespace advanced_item

namespace warning_item {
inline constexpr int CONFIRM = 0;
inline constexpr int CANCEL = 1;
inline constexpr int MESSAGE = 2;
}  // namespace warning_item

}  // namespace kr450
