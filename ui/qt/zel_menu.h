#pragma once

#include <QMenu>

namespace kr450 {

// The owner-drawn look of the program's popup menus (the tray menu, the window menu, the macro
// editor's context menu): white text on teal, the highlighted item framed and filled from
// blue to cyan, each item 8 pixels per character wide and 20 high. Submenus added with
// addZelMenu look the same.
class CZelMenu final : public QMenu {
  Q_OBJECT

 public:
  explicit CZelMenu(QWidget* parent = nullptr);
  CZelMenu* addZelMenu(const QString& title);
};

}  // namespace kr450
