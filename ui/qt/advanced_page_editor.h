#pragma once

// The advanced page's macro editor and recorder as the main window owns them: the four child
// controls, the editor and recorder logic on them, the event list's context menu, the keyboard
// capture while a recording runs, and the filter that takes the window's keys (when no global
// capture exists) and its right button releases.
//
// Use (the window thread):
//   AdvancedPageEditor page(window, macros, layout, capture, clock, macroFilePath, hooks);
//   CreateAdvancedControls:  page.Create();       DestroyAdvancedControls: page.Destroy();
//   RefreshMacroList, AddMacro, DeleteMacro, ToggleRecording, ToggleRepeat: the same names;
//   SaveMacros: page.SaveMacros() gives the file's status to report.
//   the paint: page.recording(), page.selectedRepeatEnabled(), page.pressLineCount(), ...
// Destroy() stops a running recording, and so does the window's hiding or closing.

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

#include "config/clock.h"
#include "config/status.h"
#include "macro/capture_key_map.h"
#include "macro/keyboard_capture.h"
#include "macro/macro_editor.h"
#include "macro/macro_recorder.h"
#include "macro/macro_table.h"
#include "ui/qt/advanced_page_controls.h"
#include "ui/skin_layout.h"

class QKeyEvent;
class QMouseEvent;

namespace kr450 {

class CZelMenu;

// The capture the desktop allows: the X11 grab under X, otherwise none (Wayland has no global
// grab; the recorder then takes the keys the window receives).
std::unique_ptr<KeyboardCapture> MakeDesktopKeyboardCapture();

class AdvancedPageEditor final : public QObject {
  Q_OBJECT

 public:
  using Hooks = AdvancedPageControls::Hooks;

  AdvancedPageEditor(QWidget* window, MacroTable& macros, const SkinLayout& layout,
                     KeyboardCapture& capture, Clock& clock, std::string macroFilePath,
                     Hooks hooks = {});
  ~AdvancedPageEditor() override;

  // The controls come with the page and go with it.
  void Create();
  void Destroy();
  bool created() const { return controls_.created(); }

  // The page's commands.
  void RefreshMacroList();
  void AddMacro();
  void DeleteMacro();
  void ToggleRecording();
  void StopRecording();
  void ToggleRepeat();
  Status SaveMacros();

  // What the paint shows.
  bool recording() const { return recorder_.recording(); }
  uint8_t selectedRepeatEnabled() const { return editor_.SelectedRepeatEnabled(); }
  int pressLineCount() const { return editor_.state().pressLineCount; }
  int releaseLineCount() const { return editor_.state().releaseLineCount; }

  // For the window's tests.
  AdvancedPageControls& controls() { return controls_; }
  MacroEditor& editor() { return editor_; }
  const MacroRecorder& recorder() const { return recorder_; }
  // Shows the context menu at a screen point and gives the command chosen, or 0; exec() by
  // default. The tests answer in its place.
  using MenuRunner = std::function<int(CZelMenu& menu, QPoint globalPos)>;
  void SetMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Forwards to the desktop's capture and watches its descriptor on the window thread.
  class WatchedCapture final : public KeyboardCapture {
   public:
    explicit WatchedCapture(KeyboardCapture& capture) : capture_(capture) {}
    bool Start(Sink sink) override;
    void Stop() override;
    bool Active() const override { return capture_.Active(); }
    int EventDescriptor() const override { return capture_.EventDescriptor(); }
    void Dispatch() override { capture_.Dispatch(); }

   private:
    KeyboardCapture& capture_;
    std::unique_ptr<QSocketNotifier> notifier_;
  };

  bool OnKey(QKeyEvent* event);
  void OnRightButtonUp(QMouseEvent* event);
  int RunMenu(QPoint globalPos);
  bool InWindow(QObject* watched) const;

  QWidget* window_;
  std::string macroFilePath_;
  AdvancedPageControls controls_;
  WatchedCapture capture_;
  MacroEditor editor_;
  MacroRecorder recorder_;
  KeyMessageClassifier windowKeys_;
  MenuRunner menuRunner_;
};

}  // namespace kr450
