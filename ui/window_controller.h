#pragma once

// What the pointer does on the main window, without Qt: the page, the hover and press state
// of the three skin tables, what each control does on which page, the window drag, and the
// function menu of a button slot with the left-button warning. The Qt window forwards its
// pointer events here, draws pointer() and page() (FillPaintView), and carries out what the
// controller asks of WindowActions.
//
// Use (the window thread):
//   WindowController controller(state, macros, skin.layout, menuMetrics, paths, actions);
//   mouseMoveEvent:    controller.OnPointerMove({x, y});
//   mousePressEvent:   controller.OnButtonDown({x, y});    (left button)
//   mouseReleaseEvent: controller.OnButtonUp({x, y});      (left button)
//   contextMenuEvent:  controller.OnContextMenu({x, y});
//   leaveEvent:        controller.OnPointerLeave();
//   the popups:        controller.OnMenuPointerMove(...), OnSubMenuButtonUp(...), ...
// Settings change the configuration in memory only; the save, apply, revert, configuration,
// import, export and reset controls reach config.ini and the mouse. Errors of those reach the
// user through WindowActions::ShowError.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "config/driver_state.h"
#include "macro/macro_table.h"
#include "ui/function_menu_model.h"
#include "ui/hit_test.h"
#include "ui/paint_plan.h"
#include "ui/skin_layout.h"
#include "ui/window_actions.h"

namespace kr450 {

struct WindowPaths {
  std::string dataDirectory;  // config.ini and Macro.dat; the file dialogs start here
  std::string skinDirectory;  // defMacro.dat
};

// The hover and press state that the paint draws.
struct PointerState {
  int hoverMain = NO_CONTROL;  // main table entry under the pointer
  int hoverLighting = NO_CONTROL;
  int hoverAdvanced = NO_CONTROL;
  // The values at the last repaint, to repaint only on a change.
  int lastHoverMain = NO_CONTROL;
  int lastHoverLighting = NO_CONTROL;
  int lastHoverAdvanced = NO_CONTROL;
  // The left button went down over a control and has not come up: the hovered control
  // shows its pressed picture.
  bool buttonPressed = false;
};

// The entries each table tests for the pointer on a page.
int LastHoverMain(int page);  // 64 on the main page, the frame's 16 elsewhere
inline constexpr int LAST_HOVER_LIGHTING = 4;
inline constexpr int LAST_HOVER_ADVANCED = 11;

class WindowController {
 public:
  WindowController(DriverState& state, MacroTable& macros, const SkinLayout& layout,
                   MenuMetrics menuMetrics, WindowPaths paths, WindowActions& actions);

  // The main window's pointer, in its client pixels.
  void OnPointerMove(Point point);
  void OnPointerLeave();            // nothing is under the pointer any more
  void OnButtonDown(Point point);   // left button
  void OnButtonUp(Point point);     // left button; acts on what is under the pointer now
  void OnContextMenu(Point point);  // right button: the window menu on an empty area

  // The function menu's and the submenu's pointer, in their own client pixels.
  void OnMenuPointerMove(Point point);
  void OnMenuButtonDown(Point point);
  void OnMenuButtonUp(Point point);
  void OnSubMenuPointerMove(Point point);
  void OnSubMenuButtonDown(Point point);
  void OnSubMenuButtonUp(Point point);

  // Shows another page: the advanced page's child controls come and go with it, entering the
  // main or lighting page starts its animation worker (one at most).
  void SwitchPage(int page);

  int page() const { return page_.load(); }
  // The page for workers that follow it (the lighting preview).
  const std::atomic<int>& pageFlag() const { return page_; }
  const PointerState& pointer() const { return pointer_; }
  const FunctionMenu& menu() const { return menu_; }
  // Sets the page, hover and press fields of a paint's view.
  void FillPaintView(PaintView& view) const;

 private:
  enum class Trigger : uint8_t { Press, Release };
  using Command = void (WindowController::*)(int index);
  // A range of a table's entries, the pages where they act and what they do.
  struct ControlRole {
    int first;
    int last;
    Trigger trigger;
    uint8_t pages;  // bit p: acts on page p
    Command command;
  };
  static const ControlRole MAIN_ROLES[];
  static const ControlRole ADVANCED_ROLES[];
  static const ControlRole LIGHTING_ROLES[];

  template <size_t N>
  bool Run(const ControlRole (&roles)[N], int index, Trigger trigger);
  void Track(Point point);
  void SetHover(int main, int lighting, int advanced);
  bool EmptyUnderPointer() const;
  void ForgetMainHover();
  void AfterModal();
  void Report(const Status& status);
  void ReportMacroFile(const Status& status);
  void CloseMenu();
  void StoreChoice(FunctionCode code);
  std::vector<std::string> MacroNames() const;
  void HideOrMinimise();

  // One command per control; `index` is the entry of its table.
  void Save(int index);
  void RevertAndHide(int index);
  void Apply(int index);
  void SelectConfiguration(int index);
  void ShowPageOfTab(int index);
  void Minimise(int index);
  void Close(int index);
  void ImportConfiguration(int index);
  void ExportConfiguration(int index);
  void Reset(int index);
  void OpenSlotMenu(int index);
  void ToggleStage(int index);
  void SetWheel(int index);
  void SelectStage(int index);
  void SetStageStep(int index);
  void ImportMacroFile(int index);
  void ExportMacroFile(int index);
  void AddMacro(int index);
  void DeleteMacro(int index);
  void ToggleRecording(int index);
  void SaveMacros(int index);
  void ToggleRepeat(int index);
  void ToggleMacroMode(int index);
  void SetPointerSpeed(int index);
  void SetLightingMode(int index);

  DriverState& state_;
  MacroTable& macros_;
  const SkinLayout& layout_;
  WindowPaths paths_;
  WindowActions& actions_;
  std::atomic<int> page_{PAGE_MAIN};
  PointerState pointer_;
  FunctionMenu menu_;
};

}  // namespace kr450
