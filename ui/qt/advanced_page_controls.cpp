#include "ui/qt/advanced_page_controls.h"

#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>

#include "macro/macro_record.h"
#include "ui/skin_fonts.h"
#include "ui/ui_texts.h"
#include "ui/zel_menu_layout.h"

namespace kr450 {
namespace {

// Object names, so that the window's tests and its styling find the controls.
constexpr const char* REPEAT_COUNT_FIELD_NAME = "repeatCountField";
constexpr const char* NAME_FIELD_NAME = "nameField";
constexpr const char* MACRO_LIST_NAME = "macroList";
constexpr const char* EVENT_LIST_NAME = "eventList";

const QColor DISABLED_TEXT(128, 128, 128);

constexpr const char* DARK_SCROLL_BAR =
    "QScrollBar:vertical { background: rgb(18, 20, 24); width: 12px; margin: 0px; }"
    "QScrollBar::handle:vertical { background: rgb(70, 76, 86); min-height: 20px;"
    " border-radius: 3px; margin: 1px 2px; }"
    "QScrollBar::handle:vertical:hover { background: rgb(0, 120, 153); }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";

QString ToQt(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QRect ToQt(const ControlRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

// White text on black in the captions' font; a selection in the menus' teal.
void ApplyLook(QWidget* control) {
  QPalette palette = control->palette();
  for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::AlternateBase}) {
    palette.setColor(role, Qt::black);
  }
  for (QPalette::ColorRole role :
       {QPalette::Text, QPalette::WindowText, QPalette::HighlightedText}) {
    palette.setColor(role, Qt::white);
  }
  palette.setColor(QPalette::Highlight,
                   QColor(ZEL_BACKGROUND.red, ZEL_BACKGROUND.green, ZEL_BACKGROUND.blue));
  palette.setColor(QPalette::Disabled, QPalette::Text, DISABLED_TEXT);
  control->setPalette(palette);
  control->setAutoFillBackground(true);
  control->setFont(SkinCaptionFont());
  // No menu of their own, and the right button does not reach the window's menu either: the
  // page's right-click step owns it.
  control->setContextMenuPolicy(Qt::PreventContextMenu);
}

template <typename Field>
Field* MakeField(QWidget* window, const ControlRect& rect, const char* name) {
  auto* field = new Field(window);
  field->setObjectName(QString::fromLatin1(name));
  field->setGeometry(ToQt(rect));
  field->setFrame(false);
  field->setAlignment(Qt::AlignCenter);
  ApplyLook(field);
  return field;
}

template <typename List>
List* MakeList(QWidget* window, const ControlRect& rect, const char* name) {
  auto* list = new List(window);
  list->setObjectName(QString::fromLatin1(name));
  list->setGeometry(ToQt(rect));
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The desktop's light scroll bar would be the one bright thing on the dark page.
  list->verticalScrollBar()->setStyleSheet(QString::fromLatin1(DARK_SCROLL_BAR));
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  list->setUniformItemSizes(true);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ApplyLook(list);
  return list;
}

bool HasRow(const QListWidget* list, int line) {
  return list != nullptr && line >= 0 && line < list->count();
}

void Select(QListWidget* list, int line) {
  const QSignalBlocker quiet(list);
  if (HasRow(list, line)) {
    list->setCurrentRow(line);
  } else {
    list->setCurrentRow(-1);
    list->clearSelection();
  }
}

int Selected(const QListWidget* list) {
  if (list == nullptr) return NO_LINE;
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? NO_LINE : list->row(selected.front());
}

}  // namespace

AdvancedPageControls::AdvancedPageControls(QWidget* window, const SkinLayout& layout, Hooks hooks)
    : window_(window), layout_(layout), hooks_(std::move(hooks)) {}

AdvancedPageControls::~AdvancedPageControls() {
  Destroy();
}

void AdvancedPageControls::Create() {
  if (created()) return;
  repeatCountField_ =
      MakeField<QLineEdit>(window_, layout_.repeatCountField, REPEAT_COUNT_FIELD_NAME);
  nameField_ = MakeField<QLineEdit>(window_, layout_.nameField, NAME_FIELD_NAME);
  // A name holds 19 UTF-16 code units, which is what QLineEdit counts.
  nameField_->setMaxLength(MACRO_NAME_MAX_LENGTH);
  macroList_ = MakeList<QListWidget>(window_, layout_.macroList, MACRO_LIST_NAME);
  eventList_ = MakeList<CEditableListBox>(window_, layout_.eventList, EVENT_LIST_NAME);
  for (QWidget* control :
       std::initializer_list<QWidget*>{repeatCountField_, nameField_, macroList_, eventList_}) {
    control->show();
  }
}

void AdvancedPageControls::Destroy() {
  if (eventList_ != nullptr) eventList_->EndEdit(true);
  delete repeatCountField_;
  delete nameField_;
  delete macroList_;
  delete eventList_;
}

int AdvancedPageControls::MacroLineCount() const {
  return macroList_ != nullptr ? macroList_->count() : 0;
}

std::string AdvancedPageControls::MacroLineText(int line) const {
  return HasRow(macroList_, line) ? macroList_->item(line)->text().toStdString() : std::string();
}

void AdvancedPageControls::ClearMacroLines() {
  if (macroList_ == nullptr) return;
  const QSignalBlocker quiet(macroList_);
  macroList_->clear();
}

void AdvancedPageControls::AppendMacroLine(std::string_view text) {
  if (macroList_ == nullptr) return;
  const QSignalBlocker quiet(macroList_);
  macroList_->addItem(ToQt(text));
}

void AdvancedPageControls::DeleteMacroLine(int line) {
  if (!HasRow(macroList_, line)) return;
  const QSignalBlocker quiet(macroList_);
  delete macroList_->takeItem(line);
}

int AdvancedPageControls::SelectedMacroLine() const {
  return Selected(macroList_);
}

void AdvancedPageControls::SelectMacroLine(int line) {
  if (macroList_ != nullptr) Select(macroList_, line);
}

int AdvancedPageControls::EventLineCount() const {
  return eventList_ != nullptr ? eventList_->count() : 0;
}

std::string AdvancedPageControls::EventLineText(int line) const {
  return HasRow(eventList_, line) ? eventList_->item(line)->text().toStdString() : std::string();
}

void AdvancedPageControls::ClearEventLines() {
  if (eventList_ == nullptr) return;
  const QSignalBlocker quiet(eventList_);
  eventList_->clear();
}

void AdvancedPageControls::AppendEventLine(const EventLine& line) {
  if (eventList_ == nullptr) return;
  const QSignalBlocker quiet(eventList_);
  auto* item = new QListWidgetItem(ToQt(line.text));
  item->setData(Qt::UserRole, static_cast<int>(line.kind));
  eventList_->addItem(item);
}

int AdvancedPageControls::SelectedEventLine() const {
  return Selected(eventList_);
}

void AdvancedPageControls::SelectEventLine(int line) {
  if (eventList_ != nullptr) Select(eventList_, line);
}

void AdvancedPageControls::BeginDelayEdit() {
  if (eventList_ != nullptr) eventList_->BeginEdit();
}

std::string AdvancedPageControls::NameText() const {
  return nameField_ != nullptr ? nameField_->text().toStdString() : std::string();
}

void AdvancedPageControls::SetNameText(std::string_view text) {
  if (nameField_ != nullptr) nameField_->setText(ToQt(text));
}

std::string AdvancedPageControls::RepeatText() const {
  return repeatCountField_ != nullptr ? repeatCountField_->text().toStdString() : std::string();
}

void AdvancedPageControls::SetRepeatText(std::string_view text) {
  if (repeatCountField_ != nullptr) repeatCountField_->setText(ToQt(text));
}

void AdvancedPageControls::SetRepeatEnabled(bool enabled) {
  if (repeatCountField_ != nullptr) repeatCountField_->setEnabled(enabled);
}

void AdvancedPageControls::FocusMacroList() {
  if (macroList_ != nullptr) macroList_->setFocus(Qt::OtherFocusReason);
}

void AdvancedPageControls::FocusEventList() {
  if (eventList_ != nullptr) eventList_->setFocus(Qt::OtherFocusReason);
}

void AdvancedPageControls::RepaintWindow() {
  if (hooks_.repaint) {
    hooks_.repaint();
  } else if (window_ != nullptr) {
    window_->update();
  }
}

void AdvancedPageControls::ShowOverflow() {
  if (hooks_.showMessage) {
    hooks_.showMessage(MACRO_OVERFLOW_TEXT);
  } else {
    QMessageBox::warning(window_, QApplication::applicationDisplayName(),
                         ToQt(MACRO_OVERFLOW_TEXT));
  }
}

}  // namespace kr450
