// The advanced page's macro editor as Qt widgets, offscreen: the controls and their look, the
// lines, the context menu and its commands, the in-place delay edit and its four ends, and the
// recorder fed by the window's keys or by a capture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "macro/event_menu.h"
#include "tests/macro/editor_test_support.h"
#include "tests/support/scratch_dir.h"
#include "ui/qt/advanced_page_editor.h"
#include "ui/qt/zel_menu.h"
#include "ui/skin_fonts.h"

namespace kr450::test {
namespace {

using Lines = std::vector<std::string>;

SkinLayout PageLayout() {
  SkinLayout layout;
  layout.repeatCountField = {20, 20, 80, 40};
  layout.nameField = {100, 20, 260, 40};
  layout.macroList = {20, 60, 200, 260};
  layout.eventList = {220, 60, 420, 140};  // 80 pixels: a few lines, then it scrolls
  return layout;
}

class PageFixture : public ::testing::Test {
 public:
  void Open(const std::vector<MacroRecord>& macros) {
    table.Edit([&](MacroTableData& d) {
      for (size_t i = 0; i < macros.size(); ++i) d.records[i] = macros[i];
      d.macroCount = static_cast<int16_t>(macros.size());
      d.selectedMacro = 0;
    });
    window.resize(640, 480);
    window.show();
    page.Create();
    page.RefreshMacroList();
  }

  QListWidget* macroList() { return page.controls().macroList(); }
  CEditableListBox* eventList() { return page.controls().eventList(); }
  Lines EventTexts() {
    Lines lines;
    for (int i = 0; i < eventList()->count(); ++i)
      lines.push_back(eventList()->item(i)->text().toStdString());
    return lines;
  }
  MacroRecord Record(int i) { return table.Snapshot().records[static_cast<size_t>(i)]; }

  // A right button release over `line` of the event list; the menu answers `command`.
  void RightClick(int line, int command) {
    RightClickWith(line, [command](CZelMenu&, QPoint) { return command; });
  }
  void RightClickWith(int line, AdvancedPageEditor::MenuRunner runner) {
    page.SetMenuRunner(std::move(runner));
    QWidget* viewport = eventList()->viewport();
    eventList()->scrollToItem(eventList()->item(line));
    const int first = eventList()->verticalScrollBar()->value();
    const QRect r = eventList()->visualItemRect(eventList()->item(first));
    const QPointF local(5, r.height() * (line - first) + r.height() / 2.0);
    QMouseEvent release(QEvent::MouseButtonRelease, local, viewport->mapToGlobal(local),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
  }

  void Key(QWidget* to, QEvent::Type type, int key, quint32 scanCode = 0, bool repeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, QString(), repeat);
    QApplication::sendEvent(to, &event);
  }

  const SkinLayout layout = PageLayout();
  ScratchDir dir;
  MacroTable table;
  FakeClock clock;
  FedKeyboardCapture capture;
  QWidget window;
  int repaints = 0;
  std::vector<std::string> messages;
  AdvancedPageEditor page{
      &window,
      table,
      layout,
      capture,
      clock,
      dir.File("Macro.dat"),
      {[this] { ++repaints; }, [this](std::string_view text) { messages.emplace_back(text); }}};
};

TEST_F(PageFixture, ControlsSitAtTheirRectanglesInTheSkinsLookAndGoWithThePage) {
  Open({Macro(u"one", Tap(VK_A))});
  AdvancedPageControls& c = page.controls();
  EXPECT_EQ(c.repeatCountField()->geometry(), QRect(20, 20, 60, 20));
  EXPECT_EQ(c.nameField()->geometry(), QRect(100, 20, 160, 20));
  EXPECT_EQ(c.macroList()->geometry(), QRect(20, 60, 180, 200));
  EXPECT_EQ(c.eventList()->geometry(), QRect(220, 60, 200, 80));
  EXPECT_EQ(c.nameField()->maxLength(), 19);
  for (QWidget* control : std::initializer_list<QWidget*>{c.repeatCountField(), c.nameField(),
                                                          c.macroList(), c.eventList()}) {
    SCOPED_TRACE(control->objectName().toStdString());
    EXPECT_EQ(control->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(control->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(control->palette().color(QPalette::Highlight), QColor(0, 120, 153));
    EXPECT_EQ(control->palette().color(QPalette::HighlightedText), QColor(Qt::white));
    EXPECT_EQ(control->font(), SkinCaptionFont());
  }
  // The selection is drawn in the teal of the palette, not the desktop's colour.
  const QImage shot = c.eventList()->grab().toImage();
  ASSERT_EQ(c.eventList()->currentRow(), 0);
  const QRect line = c.eventList()->visualItemRect(c.eventList()->item(0));
  EXPECT_EQ(shot.pixelColor(line.right() - 2, line.center().y()), QColor(0, 120, 153));

  page.Destroy();
  EXPECT_FALSE(page.created());
  EXPECT_TRUE(window.findChildren<QListWidget*>().isEmpty());
  EXPECT_TRUE(window.findChildren<QLineEdit*>().isEmpty());
}

TEST_F(PageFixture, TheUsersChoiceOfMacroShowsItsEvents) {
  Open({Macro(u"one", Tap(VK_A)), Macro(u"two", Tap(VK_B, 45))});
  EXPECT_EQ(macroList()->count(), 2);
  EXPECT_EQ(macroList()->currentRow(), 0);
  EXPECT_EQ(EventTexts(), (Lines{"[↓]A", "    30ms", "[↑]A"}));
  macroList()->setCurrentRow(1);  // as a click does
  EXPECT_EQ(EventTexts(), (Lines{"[↓]B", "    45ms", "[↑]B"}));
  EXPECT_EQ(page.controls().nameField()->text(), QString("two"));
  EXPECT_EQ(table.Snapshot().selectedMacro, 1);
  EXPECT_EQ(page.pressLineCount(), 1);
  EXPECT_EQ(page.releaseLineCount(), 1);
  EXPECT_GT(repaints, 0);
}

TEST_F(PageFixture, TheContextMenuOffersTheInsertsTheDelayEditAndTheDelete) {
  Open({Macro(u"one", Tap(VK_A))});
  struct Item {
    std::string path;
    int command;
  };
  std::vector<Item> items;
  std::function<void(QMenu&, const std::string&)> walk = [&](QMenu& menu, const std::string& path) {
    for (QAction* action : menu.actions()) {
      const std::string label = path + "/" + action->text().toStdString();
      if (auto* sub = qobject_cast<CZelMenu*>(action->menu())) {
        walk(*sub, label);
      } else {
        items.push_back({label, action->data().toInt()});
      }
    }
  };
  RightClickWith(0, [&](CZelMenu& menu, QPoint) {
    walk(menu, "");
    return 0;
  });
  ASSERT_EQ(items.size(), 14u);
  const std::vector<Item> expected = {{"/选项前添加    /左键   /按下  ", 32802},
                                      {"/选项前添加    /左键   /释放", 32803},
                                      {"/选项前添加    /右键/按下  ", 32804},
                                      {"/选项前添加    /右键/释放", 32805},
                                      {"/选项前添加    /中键/按下  ", 32806},
                                      {"/选项前添加    /中键/释放", 32807},
                                      {"/选项后添加 /左键   /按下  ", 32809},
                                      {"/选项后添加 /左键   /释放", 32810},
                                      {"/选项后添加 /右键/按下  ", 32811},
                                      {"/选项后添加 /右键/释放", 32812},
                                      {"/选项后添加 /中键/按下  ", 32813},
                                      {"/选项后添加 /中键/释放", 32814},
                                      {"/修改延迟", 32780},
                                      {"/删除此项", 32781}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(items[i].path, expected[i].path);
    EXPECT_EQ(items[i].command, expected[i].command);
  }
}

TEST_F(PageFixture, MenuCommandsChangeTheMacroAndItsLines) {
  Open({Macro(u"one", Tap(VK_A))});
  RightClick(1, CMD_ADD_AFTER_LEFT_PRESS + 3);  // after event 0: right button up
  EXPECT_EQ(EventTexts(), (Lines{"[↓]A", "    30ms", "[↑]Right_Key", "    30ms", "[↑]A"}));
  EXPECT_EQ(eventList()->currentRow(), 3);
  RightClick(4, CMD_DELETE_EVENT);
  EXPECT_EQ(EventTexts(), (Lines{"[↓]A", "    30ms", "[↑]Right_Key"}));

  // Below the last line no menu opens.
  bool opened = false;
  page.SetMenuRunner([&](CZelMenu&, QPoint) { return opened = true, 0; });
  QWidget* viewport = eventList()->viewport();
  const QPointF low(5, viewport->height() - 2);
  QMouseEvent release(QEvent::MouseButtonRelease, low, viewport->mapToGlobal(low), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &release);
  EXPECT_FALSE(opened);

  // A full macro says so.
  std::vector<TimedEvent> full(254, {VK_A, ACTION_PRESS, 30});
  table.Edit([&](MacroTableData& d) { d.records[0] = Macro(u"one", full); });
  page.RefreshMacroList();
  RightClick(0, CMD_ADD_BEFORE_LEFT_PRESS);
  EXPECT_EQ(messages, (std::vector<std::string>{"Overflow!!!"}));
  EXPECT_EQ(Record(0).eventCount, 254);
}

// Ctrl+A typed in the list starts no edit: what such an edit stored would go to the delay of
// the line the last right-click chose, not of the line edited.
TEST_F(PageFixture, CtrlAInTheListStartsNoEdit) {
  Open({Macro(u"one", Taps(2))});
  RightClick(3, 0);
  eventList()->setCurrentRow(1);
  QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
  QApplication::sendEvent(eventList(), &ctrlA);
  EXPECT_FALSE(eventList()->editing());
}

// The in-place delay edit: opened by the menu on a delay line, ended four ways.
struct EndCase {
  const char* what;
  std::function<void(PageFixture&, CEditHelper&)> end;
  uint16_t stored;
};

void PrintTo(const EndCase& c, std::ostream* os) {
  *os << c.what;
}

class DelayEdit : public PageFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(DelayEdit, EndsAndStoresWhatTheLineShows) {
  Open({Macro(u"one", Taps(8))});
  RightClick(1, CMD_MODIFY_DELAY);
  ASSERT_TRUE(eventList()->editing());
  CEditHelper* editor = eventList()->editor();
  EXPECT_EQ(editor->text(), QString("    30ms"));
  EXPECT_EQ(editor->selectedText(), editor->text());
  editor->setText("250");
  GetParam().end(*this, *editor);
  EXPECT_FALSE(eventList()->editing());
  EXPECT_EQ(Record(0).Delay(0), GetParam().stored);
  EXPECT_EQ(eventList()->item(1)->text().toStdString(),
            "    " + std::to_string(GetParam().stored) + "ms");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(eventList()->viewport()->findChildren<CEditHelper*>().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Ends, DelayEdit,
    ::testing::Values(
        EndCase{"Enter",
                [](PageFixture& f, CEditHelper& e) { f.Key(&e, QEvent::KeyPress, Qt::Key_Return); },
                250},
        EndCase{"focus loss",
                [](PageFixture&, CEditHelper& e) {
                  QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
                  QApplication::sendEvent(&e, &out);
                },
                250},
        EndCase{
            "scrolling",
            [](PageFixture& f, CEditHelper&) { f.eventList()->verticalScrollBar()->setValue(3); },
            250},
        EndCase{"Escape",
                [](PageFixture& f, CEditHelper& e) { f.Key(&e, QEvent::KeyPress, Qt::Key_Escape); },
                30}));

TEST_F(PageFixture, RecordsTheWindowsKeysWithoutAGlobalCapture) {
  capture.available = false;
  Open({Macro(u"one", Tap(VK_B))});
  page.ToggleRecording();
  ASSERT_TRUE(page.recording());
  QWidget* focus = eventList();
  // X key codes: Shift_L 50, a 38, Down 116.
  Key(focus, QEvent::KeyPress, Qt::Key_Shift, 50);
  clock.Advance(std::chrono::milliseconds(80));
  Key(focus, QEvent::KeyPress, Qt::Key_A, 38);
  clock.Advance(std::chrono::milliseconds(20));
  Key(focus, QEvent::KeyRelease, Qt::Key_A, 38, /*repeat=*/true);  // auto-repeat: dropped
  Key(focus, QEvent::KeyPress, Qt::Key_A, 38, /*repeat=*/true);
  Key(focus, QEvent::KeyRelease, Qt::Key_A, 38);
  clock.Advance(std::chrono::milliseconds(5));
  Key(focus, QEvent::KeyRelease, Qt::Key_Shift, 50);
  Key(focus, QEvent::KeyPress, Qt::Key_Down, 116);
  EXPECT_EQ(EventTexts(), (Lines{"[↓]LSHIFT", "    80ms", "[↓]A", "    20ms", "[↑]A", "    5ms",
                                 "[↑]LSHIFT", "    0ms", "[↓]DOWN"}));
  EXPECT_EQ(eventList()->currentRow(), 8);  // the key did not move the selection
  EXPECT_EQ(page.pressLineCount(), 3);

  // The window hiding ends the recording and keeps what it took.
  window.hide();
  EXPECT_FALSE(page.recording());
  EXPECT_EQ(Record(0).eventCount, 5);
}

TEST_F(PageFixture, RecordsFromTheCaptureAndGivesItBackWithThePage) {
  Open({Macro(u"one", {})});
  page.ToggleRecording();
  ASSERT_TRUE(capture.Active());
  capture.Feed({KeyMessage::KeyDown, 0x1B});
  capture.Feed({KeyMessage::KeyUp, 0x1B});
  EXPECT_EQ(EventTexts(), (Lines{"[↓]ESCAPE", "    0ms", "[↑]ESCAPE"}));
  page.Destroy();
  EXPECT_FALSE(capture.Active());
  EXPECT_FALSE(page.recording());
  EXPECT_EQ(Record(0).eventCount, 2);
}

TEST_F(PageFixture, SavesTheRepeatCountWithinItsBounds) {
  Open({Macro(u"one", Tap(VK_A))});
  page.ToggleRepeat();
  EXPECT_TRUE(page.controls().repeatCountField()->isEnabled());
  EXPECT_EQ(page.selectedRepeatEnabled(), 1);
  page.controls().repeatCountField()->setText("70000");
  ASSERT_TRUE(page.SaveMacros().ok());
  EXPECT_EQ(page.controls().repeatCountField()->text(), QString("65535"));
  EXPECT_EQ(Record(0).RepeatCount(), 65535);
  EXPECT_NE(ReadFileBytes(dir.File("Macro.dat")).find("macroNum=1"), std::string::npos);
}

}  // namespace
}  // namespace kr450::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  kr450::InstallSkinFontSubstitutes();
  return RUN_ALL_TESTS();
}
