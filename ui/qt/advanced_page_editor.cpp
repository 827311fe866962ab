#include "ui/qt/advanced_page_editor.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include "macro/event_menu.h"
#include "macro/x11_keyboard_capture.h"
#include "ui/qt/zel_menu.h"

namespace kr450 {
namespace {

// X and Wayland number keys as the kernel does, offset by 8.
constexpr quint32 XKB_KEYCODE_OFFSET = 8;

// A capture that never runs: the recorder takes the window's keys.
class NoKeyboardCapture final : public KeyboardCapture {
 public:
  bool Start(Sink) override { return false; }
  void Stop() override {}
  bool Active() const override { return false; }
  int EventDescriptor() const override { return -1; }
  void Dispatch() override {}
};

QString ToQt(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The virtual key of a key the window received: letters and digits by what they type, the
// other keys by their position.
uint8_t VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>('A' + (key - Qt::Key_A));
  const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
  if (!keypad && key >= Qt::Key_0 && key <= Qt::Key_9) {
    return static_cast<uint8_t>('0' + (key - Qt::Key_0));
  }
  const quint32 code = event.nativeScanCode();
  if (code <= XKB_KEYCODE_OFFSET) return 0;
  return VirtualKeyForLinuxKey(static_cast<uint16_t>(code - XKB_KEYCODE_OFFSET));
}

void AddCommand(QMenu& menu, const EventMenuLeaf& leaf) {
  menu.addAction(ToQt(leaf.label))->setData(leaf.command);
}

// The context menu: insert before and after, each by button with press and release, then the
// delay edit and the delete.
void FillEventMenu(CZelMenu& menu) {
  for (const EventMenuInsert& insert : EVENT_MENU_INSERTS) {
    CZelMenu* where = menu.addZelMenu(ToQt(insert.label));
    for (const EventMenuButton& button : insert.buttons) {
      CZelMenu* what = where->addZelMenu(ToQt(button.label));
      AddCommand(*what, button.press);
      AddCommand(*what, button.release);
    }
  }
  AddCommand(menu, EVENT_MENU_MODIFY_DELAY);
  AddCommand(menu, EVENT_MENU_DELETE);
}

int ExecMenu(CZelMenu& menu, QPoint globalPos) {
  const QAction* chosen = menu.exec(globalPos);
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

}  // namespace

std::unique_ptr<KeyboardCapture> MakeDesktopKeyboardCapture() {
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    return MakeX11KeyboardCapture(nullptr);
  }
  return std::make_unique<NoKeyboardCapture>();
}

bool AdvancedPageEditor::WatchedCapture::Start(Sink sink) {
  if (!capture_.Start(std::move(sink))) return false;
  const int fd = capture_.EventDescriptor();
  if (fd >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { capture_.Dispatch(); });
    // Strokes that came in with the grab's reply wait in the connection's queue, where the
    // descriptor does not show them.
    QTimer::singleShot(0, notifier_.get(), [this] { capture_.Dispatch(); });
  }
  return true;
}

void AdvancedPageEditor::WatchedCapture::Stop() {
  notifier_.reset();  // before the descriptor closes
  capture_.Stop();
}

AdvancedPageEditor::AdvancedPageEditor(QWidget* window, MacroTable& macros,
                                       const SkinLayout& layout, KeyboardCapture& capture,
                                       Clock& clock, std::string macroFilePath, Hooks hooks)
    : window_(window),
      macroFilePath_(std::move(macroFilePath)),
      controls_(window, layout, std::move(hooks)),
      capture_(capture),
      editor_(macros, controls_),
      recorder_(macros, editor_, clock, capture_),
      menuRunner_(ExecMenu) {}

AdvancedPageEditor::~AdvancedPageEditor() {
  Destroy();
}

void AdvancedPageEditor::Create() {
  if (created()) return;
  controls_.Create();
  connect(controls_.macroList(), &QListWidget::currentRowChanged, this,
          [this] { editor_.ShowSelectedMacro(); });
  connect(controls_.eventList(), &CEditableListBox::delayEdited, this,
          [this] { editor_.OnDelayEdited(); });
  qApp->installEventFilter(this);
}

void AdvancedPageEditor::Destroy() {
  StopRecording();
  if (qApp != nullptr) qApp->removeEventFilter(this);
  controls_.Destroy();
}

void AdvancedPageEditor::RefreshMacroList() {
  if (created()) editor_.RefreshMacroList();
}

void AdvancedPageEditor::AddMacro() {
  if (created()) editor_.AddMacro();
}

void AdvancedPageEditor::DeleteMacro() {
  if (created()) editor_.DeleteMacro();
}

void AdvancedPageEditor::ToggleRecording() {
  if (created() || recording()) recorder_.ToggleRecording();
}

void AdvancedPageEditor::StopRecording() {
  recorder_.StopRecording();
}

void AdvancedPageEditor::ToggleRepeat() {
  if (created()) editor_.ToggleRepeat();
}

Status AdvancedPageEditor::SaveMacros() {
  return editor_.SaveMacros(macroFilePath_);
}

bool AdvancedPageEditor::InWindow(QObject* watched) const {
  if (window_ == nullptr || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  return widget == window_ || window_->isAncestorOf(widget);
}

bool AdvancedPageEditor::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // While recording, no key acts on the window; the window's keys are the recording when
      // no global capture runs.
      if (recording() && InWindow(watched)) {
        event->accept();
        if (event->type() != QEvent::ShortcutOverride && !capture_.Active()) {
          OnKey(static_cast<QKeyEvent*>(event));
        }
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (!recording() && InWindow(watched) &&
          static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        OnRightButtonUp(static_cast<QMouseEvent*>(event));
      }
      break;
    case QEvent::Hide:
    case QEvent::Close:
      // The keyboard is never kept by a window the user cannot see.
      if (watched == window_) StopRecording();
      break;
    default:
      break;
  }
  return false;
}

bool AdvancedPageEditor::OnKey(QKeyEvent* event) {
  const bool down = event->type() == QEvent::KeyPress;
  // Auto-repeat comes as key-downs alone, as on Windows.
  if (!down && event->isAutoRepeat()) return false;
  const uint8_t vk = VirtualKeyOf(*event);
  if (vk == 0) return false;
  return recorder_.OnKeyStroke({windowKeys_.Classify(vk, down), vk});
}

void AdvancedPageEditor::OnRightButtonUp(QMouseEvent* event) {
  CEditableListBox* list = controls_.eventList();
  if (list == nullptr) return;
  const QPoint global = event->globalPosition().toPoint();
  const QPoint p = list->viewport()->mapFromGlobal(global);
  const QRect client = list->viewport()->rect();
  const int lineHeight = list->count() > 0 ? list->sizeHintForRow(0) : list->fontMetrics().height();
  const EventListClick click{
      p.x(),     p.y(), client.width(), client.height(), list->verticalScrollBar()->value(),
      lineHeight};
  editor_.OnRightButtonUp(click, [&] { return RunMenu(global); });
}

int AdvancedPageEditor::RunMenu(QPoint globalPos) {
  CZelMenu menu(window_);
  FillEventMenu(menu);
  return menuRunner_(menu, globalPos);
}

}  // namespace kr450
