#pragma once

// What the main window's controller (ui/window_controller.h) needs from the platform and the
// engine. The Qt window implements it; the tests record the calls.
//
// Every call comes from the window thread, inside the controller's event handlers. Calls
// return at once unless they say that they block. A blocking call may run a nested event
// loop; the controller's state is consistent whenever one is made.

#include <optional>
#include <string>
#include <string_view>

#include "config/status.h"
#include "ui/hit_test.h"

namespace kr450 {

enum class RepaintArea {
  Window,          // the whole window
  AdvancedRegion,  // the window less the advanced page's child controls
};

// An open or save dialog: what it offers and where it starts.
struct FileDialogRequest {
  bool save = false;                  // a save dialog asks before it overwrites a file
  std::string_view filterLabel;       // "All Files(*.ini)"
  std::string_view pattern;           // "*.ini"
  std::string_view defaultExtension;  // added by a save dialog to a name without one; "" none
  std::string folder;                 // where it starts
};

class WindowActions {
 public:
  virtual ~WindowActions() = default;

  // --- the window
  // Asks for a repaint; it may be done at once or after the handler returns, but it shows
  // the state as it is when the handler returns.
  virtual void Repaint(RepaintArea area) = 0;
  virtual void Minimise() = 0;
  // Whether a notification area exists now to hide the window into (it may appear later).
  virtual bool TrayAvailable() = 0;
  // Hides the window and shows the notification icon.
  virtual void HideToTray() = 0;
  // The left button went down on an empty area: the platform moves the window with the
  // pointer from here on (its button release may never reach the window).
  virtual void StartSystemMove() = 0;
  // A right-click on an empty area: the window's own menu at that client point.
  virtual void OpenWindowMenu(Point client) = 0;

  // --- pages
  // The advanced page's four child controls, at their skin rectangles.
  virtual void CreateAdvancedControls() = 0;
  virtual void DestroyAdvancedControls() = 0;
  // The page animation workers; each starts one unless one runs already.
  virtual void StartPromptBlink() = 0;
  virtual void StartLightingPreview() = 0;

  // --- modal pieces (these block until the user ends them)
  // The left-button warning with its top-left corner at the client point `anchor`: returns
  // what ended it, WARNING_CONFIRM or WARNING_CANCEL (any other value opens the menu).
  virtual int ShowWarning(Point anchor) = 0;
  // A file dialog: the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
  // A message box with an OK button.
  virtual void ShowError(std::string_view text) = 0;

  // --- the function menu; its state is WindowController::menu()
  virtual void ShowFunctionMenu() = 0;  // shows the popup at menu().Rect()
  // Highlight, press or submenu changed: repaint the menu, and show, move or hide the submenu
  // as menu().subMenu() and SubMenuRect() say.
  virtual void FunctionMenuChanged() = 0;
  virtual void SubMenuChanged() = 0;     // repaint the submenu
  virtual void CloseFunctionMenu() = 0;  // both popups go

  // --- the engine
  // The apply step: reports to the mouse, config.ini, pointer speed. Blocks on the device and
  // the file. The result is the first file write that failed.
  virtual Status Apply() = 0;

  // --- the macro editor of the advanced page
  virtual void RefreshMacroList() = 0;
  virtual void AddMacro() = 0;
  virtual void DeleteMacro() = 0;
  virtual void ToggleRecording() = 0;
  virtual void SaveMacros() = 0;  // the repeat count from its field, then the macro file
  virtual void ToggleRepeat() = 0;
};

}  // namespace kr450
