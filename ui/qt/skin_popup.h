#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "ui/hit_test.h"
#include "ui/paint_plan.h"
#include "ui/skin_painter.h"

namespace kr450 {

// A skinned popup beside the main window (the function menu and its submenu): borderless, it
// takes neither the focus nor a grab of the mouse, draws a paint plan and hands its pointer
// events on. Where it shows is the main window's business.
class SkinPopup : public QWidget {
  Q_OBJECT

 public:
  struct Handlers {
    std::function<std::vector<DrawOp>()> compose;  // what a paint draws
    std::function<void(Point)> move;
    std::function<void(Point)> press;
    std::function<void(Point)> release;
  };

  SkinPopup(QWidget* owner, const char* title, const SkinPainter& painter, Handlers handlers);

  // Shows the popup with its client area's top-left corner at `topLeft` (the owner's client
  // pixels), `size` of it visible.
  void ShowAt(QPoint topLeft, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QWidget* owner_;
  const SkinPainter& painter_;
  Handlers handlers_;
};

// The function menu of a button slot.
class CMenuDlg final : public SkinPopup {
  Q_OBJECT
 public:
  CMenuDlg(QWidget* owner, const SkinPainter& painter, Handlers handlers)
      : SkinPopup(owner, "MainMenuDlg", painter, std::move(handlers)) {}
};

// The submenu beside it.
class CSubMenuDlg final : public SkinPopup {
  Q_OBJECT
 public:
  CSubMenuDlg(QWidget* owner, const SkinPainter& painter, Handlers handlers)
      : SkinPopup(owner, "SubMenuDlg", painter, std::move(handlers)) {}
};

}  // namespace kr450
