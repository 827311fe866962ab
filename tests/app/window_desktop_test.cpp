// The real window on an X display with a window manager (openbox) and a tray host (trayer),
// driven with the real pointer (xdotool) on `kr450 --simulate --trace`: its shape, title and
// icon, a slot's menu and a choice that the apply sends, the close control that hides it into
// the tray, the icon that brings it back, the tray menu's quit and a second start that shows
// the hidden window.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/window_texts.h"
#include "tests/app/child_process.h"
#include "tests/app/skin_points.h"
#include "tests/support/scratch_dir.h"
#include "ui/function_menu_model.h"
#include "ui/skin_image_set.h"
#include "ui/skin_roles.h"
#include "ui/window_shape_qt.h"

namespace kr450 {
namespace {

using test::ChildProcess;
using test::Pixel;
using namespace std::chrono_literals;

const std::string SKINS = std::string(KR450_SOURCE_DIR) + "/data/skins";

using test::RunTool;
using test::ToolResult;
using test::Xdotool;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// What xwininfo tells of a window.
struct WindowInfo {
  int x = 0, y = 0, width = 0, height = 0;
  bool viewable = false;
};

std::optional<WindowInfo> Info(const std::string& window) {
  const ToolResult r = RunTool({"/usr/bin/xwininfo", "-id", window});
  if (r.status != 0) return std::nullopt;
  WindowInfo info;
  const auto number = [&](const std::string& key) {
    const size_t at = r.out.find(key);
    return at == std::string::npos
               ? 0
               : static_cast<int>(std::strtol(r.out.c_str() + at + key.size(), nullptr, 10));
  };
  info.x = number("Absolute upper-left X:");
  info.y = number("Absolute upper-left Y:");
  info.width = number("Width:");
  info.height = number("Height:");
  info.viewable = r.out.find("Map State: IsViewable") != std::string::npos;
  return info;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

void MoveTo(Pixel at) {
  Xdotool({"mousemove", std::to_string(at.x), std::to_string(at.y)});
}
void Click(Pixel at, int button = 1, int times = 1) {
  Xdotool({"mousemove", std::to_string(at.x), std::to_string(at.y), "click", "--repeat",
           std::to_string(times), "--delay", "120", std::to_string(button)});
}

// The screen as it shows now.
QImage Grab(const test::ScratchDir& dir, const std::string& name) {
  const std::string file = dir.File(name + ".png");
  EXPECT_EQ(RunTool({std::string(KR450_BIN_DIR) + "/kr450-x11-grab", file}).status, 0);
  return QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
}

const SkinLayout& Layout() {
  static const SkinLayout layout = test::ShippedSkinLayout();
  return layout;
}

// The window manager and the tray host, for the whole program; the background grabbed before
// any window shows.
class Desktop {
 public:
  Desktop() {
    openbox_ = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/openbox"});
    ready_ = WaitUntil([] {
      return RunTool({"/usr/bin/xprop", "-root", "_NET_SUPPORTING_WM_CHECK"})
                 .out.find("window id") != std::string::npos;
    });
    trayer_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "/usr/bin/trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
        "--width", "120", "--height", "26", "--SetDockType", "true", "--transparent", "false"});
    ready_ = ready_ && WaitUntil([] {
               return Xdotool({"search", "--name", "^panel$"}).status == 0;
             });
    std::this_thread::sleep_for(300ms);  // the panel is drawn
    background_ = Grab(dir_, "background");
  }
  bool ready() const { return ready_; }
  const QImage& background() const { return background_; }

 private:
  test::ScratchDir dir_;
  std::unique_ptr<ChildProcess> openbox_, trayer_;
  bool ready_ = false;
  QImage background_;
};

Desktop& TheDesktop() {
  static Desktop desktop;
  return desktop;
}

class WindowDesktopTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TheDesktop().ready()) << "openbox or trayer did not come up";
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    ::unsetenv("QT_QPA_PLATFORM");
    test::CopyShippedData(data_, {"config.ini", "Macro.dat"});
    MoveTo({2, 2});
    kr450_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{std::string(KR450_BIN_DIR) + "/kr450", "--simulate", "--trace",
                                 "--data", data_.path().string()});
    ASSERT_TRUE(WaitForTrace("painted")) << trace_;
    const ToolResult found = Xdotool({"search", "--all", "--onlyvisible", "--pid",
                                      std::to_string(kr450_->pid()), "--name", "^KR-450"});
    ASSERT_EQ(found.status, 0) << found.out;
    window_ = Words(found.out).at(0);
    ASSERT_TRUE(WaitUntil([&] { return Viewable(); }));
  }
  void TearDown() override {
    kr450_.reset();
    saved_ ? ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  }

  // Reads the trace until a line starts with `prefix`; everything read stays in trace_.
  bool WaitForTrace(const std::string& prefix) {
    for (std::optional<std::string> line; (line = kr450_->ReadLine(8s));) {
      trace_ += *line + "\n";
      lastLine_ = *line;
      if (line->starts_with(prefix)) return true;
    }
    return false;
  }
  std::vector<std::string> NextLines(size_t count) {
    std::vector<std::string> lines;
    while (lines.size() < count) {
      std::optional<std::string> line = kr450_->ReadLine(8s);
      if (!line) break;
      trace_ += *line + "\n";
      lines.push_back(line->substr(0, line->find(" t=")));
    }
    return lines;
  }
  // The report lines of the trace read so far.
  std::vector<std::string> ReportsSoFar() const {
    std::vector<std::string> reports;
    std::istringstream in(trace_);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("report ")) reports.push_back(line);
    }
    return reports;
  }

  bool Viewable() {
    std::optional<WindowInfo> info = Info(window_);
    return info && info->viewable;
  }
  // A point of the window's client area on the screen.
  Pixel OnScreen(Pixel client) {
    const WindowInfo info = Info(window_).value_or(WindowInfo{});
    return {info.x + client.x, info.y + client.y};
  }
  Pixel OnScreen(int mainItem) { return OnScreen(test::Centre(Layout().main[size_t(mainItem)])); }

  // The program's small visible windows other than the main one: the tray icon, a menu.
  std::vector<WindowInfo> SmallWindows(int maxSide) {
    std::vector<WindowInfo> found;
    const ToolResult r = Xdotool({"search", "--pid", std::to_string(kr450_->pid())});
    for (const std::string& id : Words(r.out)) {
      std::optional<WindowInfo> info = Info(id);
      if (info && info->viewable && info->width <= maxSide && info->height <= maxSide) {
        found.push_back(*info);
      }
    }
    return found;
  }
  std::optional<WindowInfo> TrayIcon() {
    for (const WindowInfo& w : SmallWindows(32)) return w;
    return std::nullopt;
  }
  // Hides the window with its close control; the tray icon that shows then.
  std::optional<WindowInfo> CloseToTray() {
    Click(OnScreen(main_item::CLOSE));
    EXPECT_TRUE(WaitForTrace("tray hide")) << trace_;
    EXPECT_TRUE(WaitUntil([&] { return !Viewable(); }));
    std::optional<WindowInfo> icon;
    EXPECT_TRUE(WaitUntil([&] { return (icon = TrayIcon()).has_value(); }));
    return icon;
  }

  test::ScratchDir runtime_, data_, shots_;
  std::optional<std::string> saved_;
  std::unique_ptr<ChildProcess> kr450_;
  std::string window_;
  std::string trace_;
  std::string lastLine_;
};

Pixel Middle(const WindowInfo& w) {
  return {w.x + w.width / 2, w.y + w.height / 2};
}

TEST_F(WindowDesktopTest, StartsUpInItsOrderAndPaintsAfterTheApply) {
  std::vector<std::string> steps;
  std::istringstream in(trace_);
  for (std::string line; std::getline(in, line);) {
    line = line.substr(0, line.find(" t="));
    if (line.starts_with("startup ") || line == "painted") steps.push_back(line);
    // The reports follow the apply.
    if (line.starts_with("report ")) {
      EXPECT_EQ(steps.back(), "startup apply");
    }
  }
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "startup workers", "startup skin", "startup configuration", "startup shape",
                       "startup macros", "startup open", "startup apply", "painted"}));
  EXPECT_EQ(ReportsSoFar().size(), 8u);
}

TEST_F(WindowDesktopTest, TheWindowIsShapedTitledAndHasItsIcon) {
  const ToolResult name = RunTool({"/usr/bin/xprop", "-id", window_, "_NET_WM_NAME"});
  EXPECT_EQ(name.out, "_NET_WM_NAME(UTF8_STRING) = \"" + std::string(MAIN_WINDOW_TITLE) + "\"\n");
  const ToolResult icon = RunTool({"/usr/bin/xprop", "-id", window_, "_NET_WM_ICON"});
  EXPECT_TRUE(icon.out.starts_with("_NET_WM_ICON(CARDINAL) = ")) << icon.out.substr(0, 200);
  EXPECT_NE(icon.out.find("Icon ("), std::string::npos);

  // Pixels of the window's rectangle outside the mask's shape show what lies behind it.
  const std::optional<QImage> mask = DecodeSkinImage(SKINS + "/main_mask.jpg");
  const std::optional<QImage> page = DecodeSkinImage(SKINS + "/main_normal.jpg");
  ASSERT_TRUE(mask && page);
  const QRegion shape =
      BuildWindowShape(*mask, ControlRect{}, ControlRect{}, ControlRect{}).windowShape;
  const QImage screen = Grab(shots_, "window");
  const QImage& background = TheDesktop().background();
  const WindowInfo info = Info(window_).value();
  // Walks from each side of the window's rectangle along seven rows and seven columns to the
  // shape's edge (where the shape leaves the side: its cut corners): the pixel before the edge is
  // the background's, the ones after it the page's.
  int edges = 0;
  const auto checkEdge = [&](QPoint from, QPoint step) {
    QPoint p = from;
    while (QRect(0, 0, info.width, info.height).contains(p) && !shape.contains(p)) p += step;
    const QPoint inside = p + 2 * step;
    if (p == from || !shape.contains(inside)) return;  // the shape reaches the side here
    SCOPED_TRACE(testing::Message() << "edge at " << p.x() << "," << p.y());
    const QPoint outside = p - step, origin(info.x, info.y);
    EXPECT_EQ(QColor(screen.pixel(origin + outside)), QColor(background.pixel(origin + outside)));
    // The page has a picture there too: without the shape it would show.
    EXPECT_NE(QColor(page->pixel(outside)), QColor(background.pixel(origin + outside)));
    // JPEG decoding of the same file gives the same pixels, up to the decoder's rounding.
    const QColor shown(screen.pixel(origin + inside)), expected(page->pixel(inside));
    EXPECT_LE(std::abs(shown.red() - expected.red()) + std::abs(shown.green() - expected.green()) +
                  std::abs(shown.blue() - expected.blue()),
              12);
    ++edges;
  };
  for (int i = 1; i < 8; ++i) {
    const int y = info.height * i / 8, x = info.width * i / 8;
    checkEdge({0, y}, {1, 0});
    checkEdge({info.width - 1, y}, {-1, 0});
    checkEdge({x, 0}, {0, 1});
    checkEdge({x, info.height - 1}, {0, -1});
  }
  EXPECT_GE(edges, 4);
}

TEST_F(WindowDesktopTest, ASlotsMenuChoiceChangesItsCaptionAndTheApplySendsIt) {
  const std::vector<std::string> atStart = ReportsSoFar();
  ASSERT_EQ(atStart.size(), 8u) << trace_;
  const SkinItem& slot = Layout().main[main_item::Slot(2)];
  const QRect slotOnScreen(OnScreen(Pixel{slot.x, slot.y}).x, OnScreen(Pixel{slot.x, slot.y}).y,
                           slot.width, slot.height);
  const QImage before = Grab(shots_, "before").copy(slotOnScreen);

  Click(OnScreen(main_item::Slot(2)));
  ASSERT_TRUE(WaitForTrace("menu open")) << trace_;
  // Row 3 (the middle button) of the menu below the slot's lower-left corner.
  const std::optional<QImage> menuMask = DecodeSkinImage(SKINS + "/menu_mask.jpg");
  ASSERT_TRUE(menuMask);
  const int rowHeight = menuMask->height() / MENU_ROWS;
  Click(OnScreen(
      Pixel{slot.x + menuMask->width() / 2, slot.y + slot.height + 2 * rowHeight + rowHeight / 2}));
  ASSERT_TRUE(WaitForTrace("menu close")) << trace_;
  MoveTo({2, 2});
  std::this_thread::sleep_for(300ms);
  EXPECT_NE(Grab(shots_, "after").copy(slotOnScreen), before) << "the slot's caption stayed";

  Click(OnScreen(main_item::APPLY));
  ASSERT_TRUE(WaitForTrace("apply")) << trace_;
  const std::vector<std::string> applied = NextLines(8);
  ASSERT_EQ(applied.size(), 8u) << trace_;
  for (size_t i = 0; i < applied.size(); ++i) {
    SCOPED_TRACE(i);
    // Button 2 now asks the mouse for its middle button.
    EXPECT_EQ(applied[i], i == 1 ? "report 07 10 02 03 00 00 00 00 00" : atStart[i]);
  }
}

TEST_F(WindowDesktopTest, AQuickClickOnAnEmptyAreaLeavesTheWindowAndADragMovesIt) {
  const SkinItem& reset = Layout().main[main_item::RESET];
  const Pixel empty = OnScreen(Pixel{reset.x + reset.width + 8, reset.y + reset.height / 2});
  const WindowInfo before = Info(window_).value();
  // Pressed and released at once, as a touchpad's tap does; then the pointer goes elsewhere.
  Xdotool({"mousemove", std::to_string(empty.x), std::to_string(empty.y), "click", "1"});
  std::this_thread::sleep_for(300ms);
  MoveTo({empty.x + 120, empty.y - 80});
  std::this_thread::sleep_for(500ms);
  WindowInfo after = Info(window_).value();
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);

  Xdotool({"mousemove", std::to_string(empty.x), std::to_string(empty.y), "mousedown", "1"});
  for (int step = 1; step <= 6; ++step) {
    MoveTo({empty.x + 10 * step, empty.y + 8 * step});
    std::this_thread::sleep_for(60ms);
  }
  Xdotool({"mouseup", "1"});
  std::this_thread::sleep_for(300ms);
  after = Info(window_).value();
  EXPECT_GT(after.x - before.x, 10);
  EXPECT_GT(after.y - before.y, 8);
}

TEST_F(WindowDesktopTest, TheCloseControlHidesIntoTheTrayAndADoubleClickBringsItBack) {
  const std::optional<WindowInfo> icon = CloseToTray();
  ASSERT_TRUE(icon);
  // The icon sits in the tray host's panel at the bottom of the screen.
  EXPECT_GT(icon->y, TheDesktop().background().height() - 40);
  Click(Middle(*icon), 1, 2);
  ASSERT_TRUE(WaitForTrace("tray show")) << trace_;
  EXPECT_TRUE(WaitUntil([&] { return Viewable(); }));
  EXPECT_TRUE(WaitUntil([&] { return !TrayIcon().has_value(); })) << "the icon stayed";
}

TEST_F(WindowDesktopTest, TheTrayMenuQuitsWithTheCloseSequence) {
  const std::optional<WindowInfo> icon = CloseToTray();
  ASSERT_TRUE(icon);
  Click(Middle(*icon), 3);
  // The menu: two items of 20 pixels.
  std::optional<WindowInfo> menu;
  ASSERT_TRUE(WaitUntil([&] {
    for (const WindowInfo& w : SmallWindows(200)) {
      if (w.height == 40) menu = w;
    }
    return menu.has_value();
  }));
  Click({menu->x + menu->width / 2, menu->y + 30});  // "退出驱动"
  ASSERT_TRUE(WaitForTrace("shutdown")) << trace_;
  const std::vector<std::string> after = NextLines(8);
  ASSERT_EQ(after.size(), 8u) << trace_;
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(after[i], "key up vk=0x12 scan=0x00 ext=0") << i;
  EXPECT_TRUE(after[6].starts_with("report 07 20 00 00")) << after[6];
  EXPECT_EQ(after[7], "speed 10");
  EXPECT_EQ(kr450_->Wait(), 0);
}

TEST_F(WindowDesktopTest, ASecondStartShowsTheHiddenWindow) {
  ASSERT_TRUE(CloseToTray());
  const ToolResult second = RunTool(
      {std::string(KR450_BIN_DIR) + "/kr450", "--simulate", "--data", data_.path().string()});
  EXPECT_EQ(second.status, 0) << second.out;
  ASSERT_TRUE(WaitForTrace("restore")) << trace_;
  EXPECT_TRUE(WaitUntil([&] { return Viewable(); }));
  // The icon stays until it is used.
  EXPECT_TRUE(TrayIcon().has_value());
}

}  // namespace
}  // namespace kr450
