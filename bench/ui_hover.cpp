// Pointer move to repainted frame on the main page: the window controller asks for a repaint
// only when the control under the pointer changes, against repainting the whole window on every
// move (the baseline). The pointer sweeps the page in 2-pixel steps along rows that cross the
// button slots, the stage rows and the frame, as a hand moving over the window would.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "macro/macro_table.h"
#include "ui/paint_plan.h"
#include "ui/skin_fonts.h"
#include "ui/skin_loader.h"
#include "ui/skin_painter.h"
#include "ui/window_actions.h"
#include "ui/window_controller.h"

namespace {

using Clock = std::chrono::steady_clock;
using kr450::Point;

const std::string SKIN_DIR = std::string(KR450_SOURCE_DIR) + "/data/skins";

class StderrSink final : public kr450::MessageSink {
 public:
  void ShowMessage(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
};

// Only the repaint requests matter here.
class RepaintCounter final : public kr450::WindowActions {
 public:
  bool asked = false;
  void Repaint(kr450::RepaintArea) override { asked = true; }
  void Minimise() override {}
  bool TrayAvailable() override { return true; }
  void HideToTray() override {}
  void StartSystemMove() override {}
  void OpenWindowMenu(Point) override {}
  void CreateAdvancedControls() override {}
  void DestroyAdvancedControls() override {}
  void StartPromptBlink() override {}
  void StartLightingPreview() override {}
  int ShowWarning(Point) override { return 2; }
  std::optional<std::string> ChooseFile(const kr450::FileDialogRequest&) override { return {}; }
  void ShowError(std::string_view) override {}
  void ShowFunctionMenu() override {}
  void FunctionMenuChanged() override {}
  void SubMenuChanged() override {}
  void CloseFunctionMenu() override {}
  kr450::Status Apply() override { return kr450::Status::Ok(); }
  void RefreshMacroList() override {}
  void AddMacro() override {}
  void DeleteMacro() override {}
  void ToggleRecording() override {}
  void SaveMacros() override {}
  void ToggleRepeat() override {}
};

std::vector<Point> SweepPath(int width, int height) {
  std::vector<Point> path;
  for (int y = 30; y < height; y += 38) {
    for (int x = 0; x < width; x += 2) path.push_back({x, y});
    for (int x = width - 1; x >= 0; x -= 2) path.push_back({x, y + 19});
  }
  return path;
}

struct Figures {
  double meanPerMoveMs = 0;
  double p50FrameMs = 0;
  double p99FrameMs = 0;
  size_t frames = 0;
  size_t moves = 0;
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

// Every move goes to the controller; a frame is composed and drawn when it asks for one, or
// at every move with `everyMove`. The latency of a frame runs from the move to the drawn image.
Figures Sweep(const kr450::LoadedSkin& skin, const kr450::SkinPainter& painter, bool everyMove) {
  kr450::DriverState state;
  kr450::MacroTable macros;
  RepaintCounter actions;
  kr450::WindowController controller(state, macros, skin.layout,
                                     kr450::MenuMetrics{300, 300, 300, 400},
                                     kr450::WindowPaths{"/tmp", SKIN_DIR}, actions);
  const std::vector<Point> path = SweepPath(skin.shape.maskWidth, skin.shape.maskHeight);
  std::vector<double> frames;
  const auto start = Clock::now();
  for (const Point& point : path) {
    const auto moved = Clock::now();
    actions.asked = false;
    controller.OnPointerMove(point);
    if (!actions.asked && !everyMove) continue;
    kr450::PaintView view;
    kr450::FillFromDriverState(state, view);
    controller.FillPaintView(view);
    const QImage frame = painter.Render(view, skin.layout, 1.0);
    frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - moved).count());
    if (frame.isNull()) std::abort();
  }
  const double total = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return {total / static_cast<double>(path.size()), Percentile(frames, 0.5),
          Percentile(frames, 0.99), frames.size(), path.size()};
}

void Print(const char* name, const Figures& f) {
  std::printf(
      "%-28s %6zu moves %6zu frames  per move %.3f ms  move to frame p50 %.3f ms p99 %.3f ms\n",
      name, f.moves, f.frames, f.meanPerMoveMs, f.p50FrameMs, f.p99FrameMs);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  kr450::InstallSkinFontSubstitutes();
  StderrSink sink;
  kr450::NullWindowLink window;
  kr450::LoadedSkin skin;
  if (!kr450::LoadSkin(SKIN_DIR, sink, window, &skin)) return 1;
  const kr450::SkinPainter painter(skin.images);
  Sweep(skin, painter, false);  // warm the caches and the font
  const Figures changes = Sweep(skin, painter, false);
  const Figures baseline = Sweep(skin, painter, true);
  Print("repaint on hover change", changes);
  Print("baseline: every move", baseline);
  std::printf(
      "summary: hover repaint %.3f ms per move against %.3f ms (%.1fx), %zu of %zu moves "
      "draw a frame\n",
      changes.meanPerMoveMs, baseline.meanPerMoveMs,
      baseline.meanPerMoveMs / std::max(changes.meanPerMoveMs, 1e-9), changes.frames,
      changes.moves);
  return 0;
}
