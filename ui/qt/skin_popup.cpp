#include "ui/qt/skin_popup.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace kr450 {
namespace {

Point PointOf(const QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  return {p.x(), p.y()};
}

// Under Wayland a client cannot place a top-level window: a tooltip-type window becomes a
// popup placed relative to its parent, without taking a grab. Under X11 a tool window stays
// above its owner and takes no focus.
Qt::WindowFlags PopupFlags() {
  const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
  return (wayland ? Qt::ToolTip : Qt::Tool) | Qt::FramelessWindowHint |
         Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint;
}

}  // namespace

SkinPopup::SkinPopup(QWidget* owner, const char* title, const SkinPainter& painter,
                     Handlers handlers)
    : QWidget(owner, PopupFlags()),
      owner_(owner),
      painter_(painter),
      handlers_(std::move(handlers)) {
  setWindowTitle(QString::fromUtf8(title));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
}

void SkinPopup::ShowAt(QPoint topLeft, QSize size) {
  resize(size);
  // A rectangular region cut to the rows that show.
  setMask(QRegion(0, 0, size.width(), size.height()));
  move(owner_->mapToGlobal(topLeft));
  show();
  raise();
  update();
}

void SkinPopup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter_.Paint(painter, handlers_.compose());
}

void SkinPopup::mouseMoveEvent(QMouseEvent* event) {
  handlers_.move(PointOf(event));
}

void SkinPopup::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) handlers_.press(PointOf(event));
}

// The second press of a double-click is a press like the first.
void SkinPopup::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void SkinPopup::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) handlers_.release(PointOf(event));
}

}  // namespace kr450
