#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/driver_session.h"
#include "app/qt_window_link.h"
#include "app/trace_output.h"
#include "ui/skin_loader.h"

namespace kr450 {

// The main window: a frameless, shaped window that shows one of the three skinned pages. It
// runs the driver's start-up in the window's order, paints the pages and ends the driver by
// every way out: the close sequence, the removal of the mouse, the missing mouse at start.
// Everything it does beyond Qt (what a click means, what a paint shows) is plain code in ui/
// and the driver session.
class CZEL_ZUduvoDlg final : public QWidget {
  Q_OBJECT

 public:
  enum class StartResult { Running, NoMouse, SkinUnusable };

  CZEL_ZUduvoDlg(DriverSession& session, WindowLink& link, MessageBoxSink& messages,
                 TraceOutput& trace);
  ~CZEL_ZUduvoDlg() override;

  // The start-up sequence: workers, skin, configuration, shape, macros, mouse, apply. With
  // Running the window may be shown; otherwise the driver has already been ended.
  StartResult Start(const std::string& dataDirectory, const std::string& skinDirectory);

  // The close sequence, then the window goes and the program ends with `exitStatus`.
  void ShutDown(int exitStatus = 0);
  // A request to end from a worker: the mouse was removed (the workers end, nothing else),
  // or the skin asked for it during start-up.
  void OnShutdownRequest();
  // A second start asked for the window: shown, restored, raised.
  void RestoreFromRequest();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void ApplyShape();
  void EndProgram(int exitStatus);

  DriverSession& session_;
  WindowLink& link_;
  MessageBoxSink& messages_;
  TraceOutput& trace_;
  LoadedSkin skin_;
  bool started_ = false;
  bool ended_ = false;
};

}  // namespace kr450
