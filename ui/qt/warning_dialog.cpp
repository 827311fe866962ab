#include "ui/qt/warning_dialog.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/popup_paint_plan.h"

namespace kr450 {
namespace {

Point PointOf(const QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  return {p.x(), p.y()};
}

}  // namespace

WarningDlg::WarningDlg(QWidget* owner, const SkinPainter& painter,
                       const std::array<SkinItem, WARNING_TABLE_SIZE>& table, const QRegion& shape,
                       QSize size)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      painter_(painter),
      table_(table),
      logic_(table) {
  setModal(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFixedSize(size);
  if (!shape.isEmpty()) setMask(shape);
}

int WarningDlg::Ask(QPoint topLeft) {
  move(parentWidget() != nullptr ? parentWidget()->mapToGlobal(topLeft) : topLeft);
  return exec() == WARNING_CONFIRM ? WARNING_CONFIRM : WARNING_CANCEL;
}

void WarningDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter_.Paint(painter, ComposeWarningPaint(logic_, table_, painter_.Measure()));
}

void WarningDlg::mouseMoveEvent(QMouseEvent* event) {
  if (logic_.PointerMove(PointOf(event))) update();
}

void WarningDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (std::optional<int> result = logic_.ButtonUp(PointOf(event))) done(*result);
}

void WarningDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    done(WarningResultForKey(WarningKey::Enter));
    return;
  }
  QDialog::keyPressEvent(event);  // Escape comes back as reject()
}

void WarningDlg::reject() {
  done(WarningResultForKey(WarningKey::Escape));
}

}  // namespace kr450
