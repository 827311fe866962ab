#include "app/qt_window_link.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace kr450 {

void QtWindowLink::RequestRepaint() {
  if (repaintQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this] {
        repaintQueued_.store(false);
        if (target_) target_->update();
      },
      Qt::QueuedConnection);
}

void QtWindowLink::RequestShutdown() {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [this] { onShutdown_(); }, Qt::QueuedConnection);
}

void MessageBoxSink::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, owner_);
  box.exec();
}

}  // namespace kr450
