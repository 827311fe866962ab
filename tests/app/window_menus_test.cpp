// The program's own popup menus as the window opens them: the window menu on an empty area of
// the window (and not on a control), and the tray menu; each item shows its whole text.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>

#include "app/window_texts.h"
#include "tests/app/skin_points.h"
#include "tests/app/window_fixture.h"
#include "ui/qt/tray_icon.h"
#include "ui/qt/zel_menu.h"
#include "ui/skin_roles.h"
#include "ui/zel_menu_layout.h"

namespace kr450 {
namespace {

CZelMenu* VisibleZelMenu() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* menu = qobject_cast<CZelMenu*>(widget); menu != nullptr && menu->isVisible()) {
      return menu;
    }
  }
  return nullptr;
}

// Every item is wide enough for its text, which starts 10 pixels in.
void ExpectWholeTexts(QMenu& menu) {
  const QFontMetrics metrics(menu.font());
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) continue;
    // The blanks at its end need no room.
    QString shown = action->text().trimmed();
    shown.remove(QLatin1Char('&'));
    SCOPED_TRACE(shown.toStdString());
    EXPECT_GE(menu.actionGeometry(action).width(),
              ZEL_TEXT_INDENT + metrics.horizontalAdvance(shown));
    EXPECT_EQ(menu.actionGeometry(action).height(), ZEL_ITEM_HEIGHT);
  }
}

void RightClick(QWidget* window, test::Pixel at) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(at.x, at.y),
                          window->mapToGlobal(QPoint(at.x, at.y)));
  QCoreApplication::sendEvent(window, &event);
}

TEST(WindowMenus, TheWindowMenuOpensOnAnEmptyAreaOnlyAndShowsItsItems) {
  test::WindowRun run(/*simulate=*/true);
  ASSERT_TRUE(run.StartShown());
  const SkinLayout layout = test::ShippedSkinLayout();
  // On a control: nothing.
  RightClick(&run.window(), test::Centre(layout.main[main_item::APPLY]));
  EXPECT_EQ(VisibleZelMenu(), nullptr);
  // Beside the reset control, inside the shape: an empty area.
  const SkinItem& reset = layout.main[main_item::RESET];
  const test::Pixel empty{reset.x + reset.width + 8, reset.y + reset.height / 2};
  ASSERT_TRUE(run.window().mask().contains(QPoint(empty.x, empty.y)));
  RightClick(&run.window(), empty);
  CZelMenu* menu = VisibleZelMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 4);
  EXPECT_EQ(menu->actions()[0]->text().toStdString(), MINIMISE_MENU_TEXT);
  EXPECT_EQ(menu->actions()[1]->text().toStdString(), CLOSE_MENU_TEXT);
  EXPECT_EQ(menu->actions()[3]->text().toStdString(), ABOUT_MENU_TEXT);
  ExpectWholeTexts(*menu);
  menu->hide();
}

TEST(WindowMenus, TheTrayMenuShowsItsWholeTexts) {
  TrayIcon tray(QIcon(), QStringLiteral("tip"), TrayIcon::Handlers{[] {}, [] {}});
  ASSERT_EQ(tray.menu().actions().size(), 2);
  EXPECT_EQ(tray.menu().actions()[0]->text().toStdString(), "显示界面   ");
  EXPECT_EQ(tray.menu().actions()[1]->text().toStdString(), "退出驱动");
  ExpectWholeTexts(tray.menu());
}

}  // namespace
}  // namespace kr450
