#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "ui/qt/zel_menu.h"

namespace kr450 {

// The icon in the notification area while the window is hidden, with its menu ("显示界面   ",
// "退出驱动") drawn by CZelMenu at the pointer. A double-click shows the window; where the
// tray host reports no double-click (StatusNotifierItem hosts), its activation does. The host
// is never handed the menu: ours opens on its context request, so it keeps its look.
class TrayIcon final : public QObject {
  Q_OBJECT

 public:
  struct Handlers {
    std::function<void()> show;  // the window again; the icon goes
    std::function<void()> quit;  // the close sequence
  };

  TrayIcon(const QIcon& icon, const QString& tip, Handlers handlers);
  ~TrayIcon() override;

  // Whether a notification area exists now (one may appear later).
  static bool Available();

  void Add();
  void Remove();
  bool visible() const { return icon_.isVisible(); }
  CZelMenu& menu() { return *menu_; }

 private:
  void OnActivated(QSystemTrayIcon::ActivationReason reason);

  QSystemTrayIcon icon_;
  std::unique_ptr<CZelMenu> menu_;
  Handlers handlers_;
  bool activationShows_ = false;  // the host reports no double-click
};

}  // namespace kr450
