// The real window driven with synthetic mouse events: the page tabs, a slot's function menu
// and its submenu, and the left-button warning before the last left button is reassigned.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTimer>
#include <optional>

#include "tests/app/skin_points.h"
#include "tests/app/window_fixture.h"
#include "ui/qt/warning_dialog.h"
#include "ui/skin_roles.h"

namespace kr450 {
namespace {

using test::Pixel;

const SkinLayout& Layout() {
  static const SkinLayout layout = test::ShippedSkinLayout();
  return layout;
}

void SendMouse(QWidget* widget, QEvent::Type type, Pixel at, Qt::MouseButton button) {
  const QPointF local(at.x, at.y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonPress || type == QEvent::MouseMove
                                    ? Qt::MouseButtons(button)
                                    : Qt::NoButton;
  QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

void MoveTo(QWidget* widget, Pixel at) {
  SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton);
}
void Press(QWidget* widget, Pixel at) {
  MoveTo(widget, at);
  SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
}
void Release(QWidget* widget, Pixel at) {
  SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}
void Click(QWidget* widget, Pixel at) {
  Press(widget, at);
  Release(widget, at);
}

Pixel MainCentre(int index) {
  return test::Centre(Layout().main[static_cast<size_t>(index)]);
}

QWidget* MenuPopup() {
  return test::VisibleTopLevel(QStringLiteral("MainMenuDlg"));
}
QWidget* SubMenuPopup() {
  return test::VisibleTopLevel(QStringLiteral("SubMenuDlg"));
}

class WindowPointerTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(run_.StartShown()); }

  QWidget* window() { return &run_.window(); }
  DeviceConfig Config() { return run_.session().state().Config(); }
  const FunctionMenu& Menu() { return run_.window().controller()->menu(); }
  // The middle of row `row` (1..10) of the open function menu, in its pixels.
  Pixel MenuRow(int row) {
    return {Menu().Rect().width / 2, (row - 1) * Menu().RowHeight() + Menu().RowHeight() / 2};
  }

  // Answers the warning that the next press brings up: moves to the confirm (entry 0) or
  // cancel (entry 1) button and releases there. What it answered stays in *seen.
  void AnswerWarningWith(int entry, std::optional<int>* seen) {
    warningTimer_.setSingleShot(true);
    warningTimer_.callOnTimeout([entry, seen] {
      auto* warning = qobject_cast<WarningDlg*>(QApplication::activeModalWidget());
      if (warning == nullptr) return;
      *seen = entry;
      const Pixel at = test::Centre(Layout().warning[static_cast<size_t>(entry)]);
      MoveTo(warning, at);
      Release(warning, at);
    });
    warningTimer_.start(50);
  }

  test::WindowRun run_{/*simulate=*/true};
  QTimer warningTimer_;
};

TEST_F(WindowPointerTest, PageTabsSwitchPagesWhereTheyAct) {
  struct Step {
    int tab;
    int page;
  };
  for (const Step step :
       {Step{main_item::TAB_ADVANCED, PAGE_ADVANCED}, Step{main_item::TAB_LIGHTING, PAGE_LIGHTING},
        Step{main_item::TAB_ADVANCED, PAGE_ADVANCED}, Step{main_item::TAB_MAIN, PAGE_MAIN},
        // The main tab does nothing on the main page.
        Step{main_item::TAB_MAIN, PAGE_MAIN}, Step{main_item::TAB_LIGHTING, PAGE_LIGHTING},
        Step{main_item::TAB_MAIN, PAGE_MAIN}}) {
    SCOPED_TRACE(step.tab);
    Click(window(), MainCentre(step.tab));
    EXPECT_EQ(run_.window().controller()->page(), step.page);
  }
}

TEST_F(WindowPointerTest, AChoiceInASlotsMenuStoresItsCodeAndClosesTheMenu) {
  ASSERT_EQ(Config().buttons[1], 2);
  Click(window(), MainCentre(main_item::Slot(2)));
  QWidget* menu = MenuPopup();
  ASSERT_NE(menu, nullptr);
  // Below the slot's lower-left corner.
  const SkinItem& slot = Layout().main[main_item::Slot(2)];
  EXPECT_EQ(menu->pos(), window()->mapToGlobal(QPoint(slot.x, slot.y + slot.height)));

  Click(menu, MenuRow(3));
  EXPECT_EQ(Config().buttons[1], 3);
  EXPECT_EQ(MenuPopup(), nullptr);
  EXPECT_EQ(SubMenuPopup(), nullptr);
  EXPECT_FALSE(Menu().IsOpen());
}

TEST_F(WindowPointerTest, ASubmenuChoiceStoresTheMacroCode) {
  Click(window(), MainCentre(main_item::Slot(3)));
  QWidget* menu = MenuPopup();
  ASSERT_NE(menu, nullptr);
  MoveTo(menu, MenuRow(9));  // the macros
  QWidget* sub = SubMenuPopup();
  ASSERT_NE(sub, nullptr);
  const Pixel firstItem{sub->width() / 2, Menu().SubRowHeight() / 2};
  MoveTo(sub, firstItem);
  Click(sub, firstItem);
  EXPECT_EQ(Config().buttons[2], 41);
  EXPECT_EQ(MenuPopup(), nullptr);
  EXPECT_EQ(SubMenuPopup(), nullptr);
}

TEST_F(WindowPointerTest, ThePressOnAnotherSlotMovesTheMenuUnderIt) {
  Click(window(), MainCentre(main_item::Slot(2)));
  ASSERT_NE(MenuPopup(), nullptr);
  Click(window(), MainCentre(main_item::Slot(4)));
  QWidget* menu = MenuPopup();
  ASSERT_NE(menu, nullptr);
  const SkinItem& slot = Layout().main[main_item::Slot(4)];
  EXPECT_EQ(menu->pos(), window()->mapToGlobal(QPoint(slot.x, slot.y + slot.height)));
  Click(window(), MainCentre(main_item::TAB_LIGHTING));
  EXPECT_EQ(MenuPopup(), nullptr);
  EXPECT_EQ(run_.window().controller()->page(), PAGE_LIGHTING);
}

TEST_F(WindowPointerTest, TheLastLeftButtonAsksFirstAndCancelOpensNoMenu) {
  std::optional<int> answered;
  AnswerWarningWith(1, &answered);
  Click(window(), MainCentre(main_item::Slot(1)));
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(MenuPopup(), nullptr);
  EXPECT_EQ(Config().buttons[0], 1);
}

TEST_F(WindowPointerTest, ConfirmingTheWarningOpensTheMenuAndTheLeftButtonMovesOn) {
  std::optional<int> answered;
  AnswerWarningWith(0, &answered);
  Click(window(), MainCentre(main_item::Slot(1)));
  EXPECT_EQ(answered, 0);
  QWidget* menu = MenuPopup();
  ASSERT_NE(menu, nullptr);
  Click(menu, MenuRow(2));
  // Slot 1 gives up the left click; the next slot keeps one.
  EXPECT_EQ(Config().buttons[0], 2);
  EXPECT_EQ(Config().buttons[1], 1);
}

TEST_F(WindowPointerTest, ASlotWhoseLeftClickAnotherKeepsOpensWithoutTheWarning) {
  run_.session().state().WithConfig([](ConfigState& s) { s.config.buttons[3] = 1; });
  std::optional<int> answered;
  AnswerWarningWith(1, &answered);
  Click(window(), MainCentre(main_item::Slot(1)));
  EXPECT_NE(MenuPopup(), nullptr);
  test::ProcessEventsUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(answered, std::nullopt);
}

}  // namespace
}  // namespace kr450
