#include "ui/qt/tray_icon.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>

#include "ui/zel_menu_layout.h"

namespace kr450 {
namespace {

// Qt talks to a StatusNotifierItem host when its watcher is on the session bus; such hosts
// report a click as an activation and no double-click.
bool StatusNotifierHost() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface() != nullptr &&
         bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

}  // namespace

TrayIcon::TrayIcon(const QIcon& icon, const QString& tip, Handlers handlers)
    : menu_(std::make_unique<CZelMenu>()), handlers_(std::move(handlers)) {
  icon_.setIcon(icon);
  icon_.setToolTip(tip);
  for (const ZelMenuEntry& item : TRAY_MENU) {
    QAction* action = menu_->addAction(
        QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size())));
    const bool quits = item.id == TRAY_EXIT_COMMAND;
    connect(action, &QAction::triggered, this,
            [this, quits] { quits ? handlers_.quit() : handlers_.show(); });
  }
  connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::Available() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::Add() {
  activationShows_ = StatusNotifierHost();
  icon_.show();
}

void TrayIcon::Remove() {
  menu_->hide();
  icon_.hide();
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::DoubleClick:
      handlers_.show();
      break;
    case QSystemTrayIcon::Trigger:
      if (activationShows_) handlers_.show();  // a single click does nothing otherwise
      break;
    case QSystemTrayIcon::Context:
      menu_->popup(QCursor::pos());
      break;
    default:
      break;
  }
}

}  // namespace kr450
