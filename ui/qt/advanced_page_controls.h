#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <functional>
#include <string_view>

#include "macro/macro_editor_controls.h"
#include "ui/qt/editable_list_box.h"
#include "ui/skin_layout.h"

namespace kr450 {

// The advanced page's four child controls as Qt widgets: the repeat-count and name fields,
// the macro list and the event list, each at its skin rectangle, white on black in the
// captions' font, the selection in the menus' teal instead of the desktop's colour. They
// exist between Create() and Destroy(); without them every call does nothing and reads as
// empty.
class AdvancedPageControls final : public MacroEditorControls {
 public:
  struct Hooks {
    std::function<void()> repaint;                      // the whole window
    std::function<void(std::string_view)> showMessage;  // a message box with OK; blocks
  };

  AdvancedPageControls(QWidget* window, const SkinLayout& layout, Hooks hooks);
  ~AdvancedPageControls() override;

  void Create();
  void Destroy();
  bool created() const { return eventList_ != nullptr; }

  QLineEdit* repeatCountField() const { return repeatCountField_; }
  QLineEdit* nameField() const { return nameField_; }
  QListWidget* macroList() const { return macroList_; }
  CEditableListBox* eventList() const { return eventList_; }

  int MacroLineCount() const override;
  std::string MacroLineText(int line) const override;
  void ClearMacroLines() override;
  void AppendMacroLine(std::string_view text) override;
  void DeleteMacroLine(int line) override;
  int SelectedMacroLine() const override;
  void SelectMacroLine(int line) override;

  int EventLineCount() const override;
  std::string EventLineText(int line) const override;
  void ClearEventLines() override;
  void AppendEventLine(const EventLine& line) override;
  int SelectedEventLine() const override;
  void SelectEventLine(int line) override;
  void BeginDelayEdit() override;

  std::string NameText() const override;
  void SetNameText(std::string_view text) override;
  std::string RepeatText() const override;
  void SetRepeatText(std::string_view text) override;
  void SetRepeatEnabled(bool enabled) override;

  void FocusMacroList() override;
  void FocusEventList() override;
  void RepaintWindow() override;
  void ShowOverflow() override;

 private:
  QWidget* window_;
  const SkinLayout& layout_;
  Hooks hooks_;
  QPointer<QLineEdit> repeatCountField_;
  QPointer<QLineEdit> nameField_;
  QPointer<QListWidget> macroList_;
  QPointer<CEditableListBox> eventList_;
};

}  // namespace kr450
