#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/driver_session.h"
#include "app/qt_window_link.h"
#include "app/trace_output.h"
#include "macro/keyboard_capture.h"
#include "ui/lighting_preview.h"
#include "ui/paint_plan.h"
#include "ui/qt/advanced_page_editor.h"
#include "ui/qt/skin_popup.h"
#include "ui/qt/tray_icon.h"
#include "ui/qt/zel_menu.h"
#include "ui/skin_loader.h"
#include "ui/skin_painter.h"
#include "ui/window_actions.h"
#include "ui/window_controller.h"

namespace kr450 {

// The main window: a frameless, shaped window that shows one of the three skinned pages. It
// runs the driver's start-up in the window's order, hands pointer events to the controller,
// paints the pages from the paint plan and ends the driver by every way out: the close
// sequence, the removal of the mouse, the missing mouse at start. What a click means and what
// a paint shows is plain code in ui/; this class carries out what the controller asks.
class CZEL_ZUduvoDlg final : public QWidget, private WindowActions {
  Q_OBJECT

 public:
  enum class StartResult { Running, NoMouse, SkinUnusable };

  CZEL_ZUduvoDlg(DriverSession& session, WindowLink& link, MessageBoxSink& messages,
                 TraceOutput& trace);
  ~CZEL_ZUduvoDlg() override;

  // The start-up sequence: workers, skin, configuration, shape, macros, mouse, apply. With
  // Running the window may be shown; otherwise the driver has already been ended.
  StartResult Start(const std::string& dataDirectory, const std::string& skinDirectory);
  // Shows the window on its main page, or (`hidden`) only its icon in the notification area,
  // minimised where there is none.
  void ShowAtStart(bool hidden);

  // The close sequence, then the window goes and the program ends with `exitStatus`.
  void ShutDown(int exitStatus = 0);
  // A request to end from a worker: the mouse was removed (the workers end, nothing else),
  // or the skin asked for it.
  void OnShutdownRequest();
  // A second start asked for the window: shown, restored, raised; the tray icon stays.
  void RestoreFromRequest();

  const WindowController* controller() const { return controller_.get(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // WindowActions.
  void Repaint(RepaintArea area) override;
  void Minimise() override;
  bool TrayAvailable() override;
  void HideToTray() override;
  void StartSystemMove() override;
  void OpenWindowMenu(Point client) override;
  void CreateAdvancedControls() override;
  void DestroyAdvancedControls() override;
  void StartPromptBlink() override;
  void StartLightingPreview() override;
  int ShowWarning(Point anchor) override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  void ShowError(std::string_view text) override;
  void ShowFunctionMenu() override;
  void FunctionMenuChanged() override;
  void SubMenuChanged() override;
  void CloseFunctionMenu() override;
  Status Apply() override;
  void RefreshMacroList() override;
  void AddMacro() override;
  void DeleteMacro() override;
  void ToggleRecording() override;
  void SaveMacros() override;
  void ToggleRepeat() override;

  void ApplyShape();
  void BuildPopups();
  void BuildMacroEditor();
  void ShowAgainFromTray();
  void EndProgram(int exitStatus);
  // A copy of everything the paint reads, taken now.
  PaintView CurrentView() const;

  DriverSession& session_;
  WindowLink& link_;
  MessageBoxSink& messages_;
  TraceOutput& trace_;
  std::string dataDirectory_;
  std::string skinDirectory_;
  LoadedSkin skin_;
  std::unique_ptr<SkinPainter> painter_;
  std::unique_ptr<WindowController> controller_;
  std::unique_ptr<LightingPreview> preview_;
  SteadyClock editorClock_;
  std::unique_ptr<KeyboardCapture> capture_;
  std::unique_ptr<AdvancedPageEditor> editor_;
  std::unique_ptr<CMenuDlg> menuPopup_;
  std::unique_ptr<CSubMenuDlg> subMenuPopup_;
  std::unique_ptr<CZelMenu> windowMenu_;
  std::unique_ptr<TrayIcon> tray_;
  bool started_ = false;
  bool ended_ = false;
  bool painted_ = false;      // the first paint is traced, for the start-up bench
  bool movePending_ = false;  // a press on an empty area: the move starts when the pointer does
};

}  // namespace kr450
