#include "ui/qt/editable_list_box.h"

#include <QKeyEvent>

namespace kr450 {

// The editor's frame reaches 2 pixels above and below the line.
constexpr int EDITOR_MARGIN = 2;

CEditHelper::CEditHelper(QWidget* parent) : QLineEdit(parent) {}

void CEditHelper::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit endEdit(true);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    emit endEdit(false);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void CEditHelper::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit endEdit(true);
}

CEditableListBox::CEditableListBox(QWidget* parent) : QListWidget(parent) {}

CEditableListBox::~CEditableListBox() {
  // The editor goes with the list; no end is reported for a list that is going away.
  if (editor_ != nullptr) editor_->disconnect(this);
}

void CEditableListBox::BeginEdit() {
  if (editor_ != nullptr) return;
  QListWidgetItem* line = currentItem();
  if (line == nullptr) return;
  const QRect r = visualItemRect(line).adjusted(0, -EDITOR_MARGIN, 0, EDITOR_MARGIN);
  auto* editor = new CEditHelper(viewport());
  editor->setFont(font());
  editor->setGeometry(r);
  editor->setText(line->text());
  editor->selectAll();
  connect(editor, &CEditHelper::endEdit, this, &CEditableListBox::EndEdit);
  editor_ = editor;
  editedLine_ = row(line);
  editor->show();
  editor->setFocus(Qt::OtherFocusReason);
}

void CEditableListBox::EndEdit(bool keep) {
  if (editor_ == nullptr) return;
  // Taken first: hiding the editor moves the focus, whose loss would end the edit again.
  CEditHelper* editor = editor_;
  editor_ = nullptr;
  const int line = editedLine_;
  editedLine_ = -1;
  if (keep && line >= 0 && line < count() && item(line)->text() != editor->text()) {
    item(line)->setText(editor->text());
    setCurrentRow(line);
  }
  const bool hadFocus = editor->hasFocus();
  editor->disconnect(this);
  editor->hide();
  editor->deleteLater();
  if (hadFocus) setFocus(Qt::OtherFocusReason);
  emit delayEdited();
}

void CEditableListBox::scrollContentsBy(int dx, int dy) {
  EndEdit(true);
  QListWidget::scrollContentsBy(dx, dy);
}

void CEditableListBox::resizeEvent(QResizeEvent* event) {
  EndEdit(true);
  QListWidget::resizeEvent(event);
}

}  // namespace kr450
