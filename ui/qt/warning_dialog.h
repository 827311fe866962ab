#pragma once

#include <QDialog>
#include <array>

#include "ui/paint_plan.h"
#include "ui/skin_item.h"
#include "ui/skin_layout.h"
#include "ui/skin_painter.h"
#include "ui/warning_logic.h"

namespace kr450 {

// The left-button warning: modal, shaped by its mask, drawn from the skin. Enter confirms,
// Escape and the platform's close cancel; with the pointer, only where the button comes up
// counts.
class WarningDlg final : public QDialog {
  Q_OBJECT

 public:
  WarningDlg(QWidget* owner, const SkinPainter& painter,
             const std::array<SkinItem, WARNING_TABLE_SIZE>& table, const QRegion& shape,
             QSize size);

  // Shows the dialog with its top-left corner at `topLeft` (the owner's client pixels) and
  // returns WARNING_CONFIRM or WARNING_CANCEL.
  int Ask(QPoint topLeft);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  const SkinPainter& painter_;
  const std::array<SkinItem, WARNING_TABLE_SIZE>& table_;
  WarningLogic logic_;
};

}  // namespace kr450
