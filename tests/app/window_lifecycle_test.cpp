// The window's life in this process: the start-up in its order, the start without a mouse,
// the close sequence, the removal of the mouse, and what the desktop is told of the window.
#include <gtest/gtest.h>

#include <QIcon>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/window_texts.h"
#include "config/ini_file.h"
#include "tests/app/window_fixture.h"
#include "ui/ui_texts.h"

namespace kr450 {
namespace {

using test::WindowRun;
using Lines = std::vector<std::string>;

Lines StartingWith(const Lines& lines, std::string_view prefix) {
  Lines found;
  for (const std::string& line : lines) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

ptrdiff_t IndexOf(const Lines& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

constexpr std::string_view ALT_UP = "key up vk=0x12 scan=0x00 ext=0";
constexpr std::string_view EXIT_REPORT_PREFIX = "report 07 20 00 00";

TEST(WindowStart, RunsTheStartUpStepsInOrderAndAppliesAfterOpeningTheMouse) {
  WindowRun run(/*simulate=*/true);
  ASSERT_EQ(run.Start(), CZEL_ZUduvoDlg::StartResult::Running);
  const Lines lines = run.TraceLines();
  EXPECT_EQ(StartingWith(lines, "startup "),
            (Lines{"startup workers", "startup skin", "startup configuration", "startup shape",
                   "startup macros", "startup open", "startup apply"}));
  // Every feature report follows the apply: nothing reaches the mouse before it.
  const ptrdiff_t apply = IndexOf(lines, "startup apply");
  const auto firstReport = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.starts_with("report ");
  });
  ASSERT_NE(firstReport, lines.end());
  EXPECT_GT(firstReport - lines.begin(), apply);
  // Six buttons, the wheel, the stage and lighting.
  EXPECT_EQ(StartingWith(lines, "report 07 ").size(), 8u);
  EXPECT_TRUE(run.session().state().deviceFound.load());
}

TEST(WindowStart, WithoutTheMouseSaysSoOnceStoresTheConfigurationAndLeavesThePointerSpeed) {
  WindowRun run(/*simulate=*/false);
  // A configuration that sets another speed than the user's.
  ASSERT_TRUE(UpdateIniFile(run.data().File("config.ini"), [](IniDocument& ini) {
                ini.Set("Config1", "DPI_SPEED", "8");
                ini.Set("Config6", "K2", "16");
              }).ok());
  run.input().SetPointerSpeed(3);
  run.input().Clear();

  test::MessageBoxAnswerer answerer;
  EXPECT_EQ(run.Start(), CZEL_ZUduvoDlg::StartResult::NoMouse);
  EXPECT_EQ(answerer.texts(), std::vector<std::string>{std::string(NO_MOUSE_TEXT)});
  EXPECT_EQ(answerer.captions(), std::vector<std::string>{"kr450"});
  EXPECT_EQ(run.input().GetPointerSpeed(), 3);
  // Stored as an apply stores it: the current configuration becomes the applied one.
  EXPECT_EQ(LoadIniFile(run.data().File("config.ini")).Get("Config6", "K2", 16), "2");
  EXPECT_FALSE(run.window().isVisible());
  EXPECT_EQ(StartingWith(run.TraceLines(), EXIT_REPORT_PREFIX), Lines{});
}

TEST(WindowStart, ShowsATitledFramelessShapedWindowWithItsIcon) {
  WindowRun run(/*simulate=*/true);
  ASSERT_TRUE(run.StartShown());
  CZEL_ZUduvoDlg& window = run.window();
  EXPECT_EQ(window.windowTitle().toStdString(), MAIN_WINDOW_TITLE);
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_FALSE(window.windowIcon().availableSizes().isEmpty());
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::Window));
  // The shape is the mask's, smaller than the window's rectangle.
  EXPECT_EQ(window.size(), QSize(800, 640));
  EXPECT_FALSE(window.mask().isEmpty());
  EXPECT_NE(window.mask(), QRegion(window.rect()));
  EXPECT_EQ(window.controller()->page(), PAGE_MAIN);
}

TEST(WindowEnd, CloseRunsTheCloseSequenceAndEndsWithStatusZero) {
  WindowRun run(/*simulate=*/true);
  ASSERT_TRUE(run.StartShown());
  EXPECT_EQ(run.RunUntilEnd([&] { run.window().close(); }), 0);
  const Lines lines = run.TraceLines();
  const ptrdiff_t shutdown = IndexOf(lines, "shutdown");
  ASSERT_LT(shutdown, static_cast<ptrdiff_t>(lines.size()));
  const Lines after(lines.begin() + shutdown + 1, lines.end());
  ASSERT_EQ(after.size(), 8u) << testing::PrintToString(after);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(after[static_cast<size_t>(i)], ALT_UP) << i;
  EXPECT_TRUE(after[6].starts_with(EXIT_REPORT_PREFIX)) << after[6];
  EXPECT_EQ(after[7], "speed 10");
  EXPECT_TRUE(run.session().mouse()->ExitReceived());
  EXPECT_FALSE(run.window().isVisible());
}

TEST(WindowEnd, RemovingTheMouseEndsAtOnceWithoutTheCloseSequence) {
  WindowRun run(/*simulate=*/true);
  ASSERT_TRUE(run.StartShown());
  run.input().Clear();
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(run.RunUntilEnd([&] { run.session().mouse()->Unplug(); }), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  const Lines lines = run.TraceLines();
  const ptrdiff_t removed = IndexOf(lines, "removed");
  ASSERT_LT(removed, static_cast<ptrdiff_t>(lines.size()));
  EXPECT_EQ(Lines(lines.begin() + removed + 1, lines.end()), Lines{});
  EXPECT_EQ(StartingWith(lines, "shutdown"), Lines{});
  EXPECT_EQ(run.input().Lines(), Lines{});  // no Alt, no pointer speed
  EXPECT_FALSE(run.session().mouse()->ExitReceived());
  EXPECT_FALSE(run.window().isVisible());
}

}  // namespace
}  // namespace kr450
