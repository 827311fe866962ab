#pragma once

#include <QColor>
#include <QPointF>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <vector>

#include "ui/skin_layout.h"

namespace kr450::skin_art {

// How a rectangle of a table is drawn in the three state images.
enum class Look {
  None,         // an unused entry: nothing is drawn
  Label,        // a caption without an action: the same in all states
  Button,       // push button; its pressed picture also marks a chosen option
  Reset,        // the reset button: a warning tint sets it apart from the buttons beside it
  Tab,          // page tab
  Config,       // configuration button of the side bar
  Slot,         // button slot: the caption is the assigned function, left-aligned
  Switch,       // on/off switch: the pressed picture is "on"
  Check,        // check box with its caption: the pressed picture is "checked"
  StageSelect,  // "档位 n" button of a DPI stage
  KnobPlace,    // one of the five places of a DPI slider
  Marker,       // current-stage marker
  Swatch,       // a stage's lighting colour, the same in all states (no action)
  Prompt,       // a mouse button on the picture, highlighted by the start prompt
  Minimise,
  Close,
  Status,  // the status line's box
  Info,    // a hint box without an action: the same in all states
  Value,   // the DPI read-out of the lighting page
  Preview  // the lighting preview area
};

// `param` of a button whose caption is always red (the warning's): a darker face.
inline constexpr int DARK_BUTTON = 1;

// One entry of a rectangle table.
struct Control {
  QString role;  // field 1 of the entry (ignored by the reader, names the entry in the file)
  QRect rect;
  QString caption;
  Look look = Look::None;
  int param = 0;              // stage (0..3) or mouse button (1..6) for the looks that show one
  QString paintedText;        // text that is part of the picture (the window draws no caption)
  bool mainPageOnly = false;  // a frame control that acts on the main page only
};

// Sizes of the menus: rows of equal height, one more pixel row below the last.
struct MenuDesign {
  int width = 0;
  int rowHeight = 0;
  int rows = 0;
  QSize MaskSize() const { return {width, rowHeight * rows + 1}; }
};

// The one description of the default skin: every rectangle, caption and shape. The layout
// files and all pictures are made from it, so they always agree.
struct SkinDesign {
  QSize window;
  QPolygon windowOutline;  // the window's shape
  std::array<Control, MAIN_TABLE_SIZE> main;
  std::array<Control, LIGHTING_TABLE_SIZE> lighting;
  std::array<Control, ADVANCED_TABLE_SIZE> advanced;
  std::array<QString, FUNCTION_NAME_COUNT> functionNames;
  // The advanced page's child controls, as x, y, width, height.
  QRect repeatCountField;
  QRect nameField;
  QRect macroList;
  QRect eventList;
  // Where the main page and the lighting page draw the mouse.
  QRect mainMouse;
  // The numbered callouts of mouse buttons 1..6 beside the main page's mouse; each slot
  // carries the same number.
  std::array<QPoint, 6> callouts;
  QRect previewMouse;
  MenuDesign menu;
  MenuDesign subMenu;
  QSize warning;
  QPolygon warningOutline;
  std::array<Control, WARNING_TABLE_SIZE> warningItems;
  QSize knob;
  // The emblem at the foot of the side bar: a hexagon with the model name inside it.
  QPointF emblemCentre;
  double emblemRadius = 0;
  QString emblemText;
};

// The four lighting colours of the DPI stages: blue, pink, red, purple.
QColor StageColour(int stage);

const SkinDesign& DefaultSkinDesign();

}  // namespace kr450::skin_art
