#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

namespace kr450 {

// The in-place editor of CEditableListBox: Enter keeps what was typed, Escape drops it, and
// losing the focus keeps it, as Enter does.
class CEditHelper final : public QLineEdit {
  Q_OBJECT

 public:
  explicit CEditHelper(QWidget* parent);

 signals:
  void endEdit(bool keep);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// A list whose selected line can be edited in place: BeginEdit() opens a CEditHelper over the
// line with its text; when the edit ends (Enter, Escape, focus loss, the list scrolled or
// resized) the new text replaces the line and delayEdited() is emitted, also when the text was
// dropped or did not change. One edit at a time.
//
// Only BeginEdit() starts an edit. Typing Ctrl+A in the list does not: the line stored
// afterwards is the one the last right-click chose, so a keyboard edit of another line would
// write that line's value into the wrong delay, or an event line's 0 into a delay.
class CEditableListBox final : public QListWidget {
  Q_OBJECT

 public:
  explicit CEditableListBox(QWidget* parent);
  ~CEditableListBox() override;

  void BeginEdit();
  void EndEdit(bool keep);
  bool editing() const { return editor_ != nullptr; }
  int editedLine() const { return editedLine_; }
  CEditHelper* editor() const { return editor_; }

 signals:
  void delayEdited();

 protected:
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPointer<CEditHelper> editor_;
  int editedLine_ = -1;
};

}  // namespace kr450
