// A full paint of each page of the main window: the plan composed from the state and drawn from
// the pictures decoded once, against decoding the page's pictures from the skin folder at every
// paint (the three state pictures, plus the knob on the main page and the preview pictures on
// the lighting page) in the same run. At pixel ratios 1 and 2.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/ui_link.h"
#include "ui/skin_fonts.h"
#include "ui/skin_loader.h"
#include "ui/skin_painter.h"

namespace {

using kr450::PaintView;
using kr450::SkinImage;

const std::string SKIN_DIR = std::string(KR450_SOURCE_DIR) + "/data/skins";

class StderrSink final : public kr450::MessageSink {
 public:
  void ShowMessage(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
};

kr450::LoadedSkin* skin = nullptr;
kr450::SkinPainter* painter = nullptr;

// A busy state of each page: a control under the pointer, the click prompt, every switch on.
PaintView ViewOf(int page) {
  PaintView view;
  view.currentPage = page;
  view.currentConfig = 2;
  view.hoverMain = page == kr450::PAGE_MAIN ? 18 : 3;
  view.hoverAdvanced = 2;
  view.hoverLighting = 1;
  view.config.buttons = {1, 2, 41, 5, 4, 6};
  view.macroNames[0] = "连招一";
  view.config.dpiLevel = 1;
  view.config.dpiStage = {1, 2, 4, 0};
  view.config.dpiStageEnabled = {1, 1, 1, 1};
  view.config.pointerSpeed = 9;
  view.config.macroMode = 1;
  view.config.ledStatus = 1;
  view.appliedDpiStage = {1, 2, 4, 0};
  view.driverRunning = false;
  view.promptButton = 3;
  view.promptBlink = true;
  view.selectedRepeatEnabled = 1;
  view.pressLineCount = 12;
  view.releaseLineCount = 12;
  view.previewStage = 0;  // the blue picture
  return view;
}

// The pictures a paint of `page` decodes when nothing is kept.
std::vector<SkinImage> DecodedPerPaint(int page) {
  const kr450::PagePictures pictures = kr450::PicturesOf(page);
  std::vector<SkinImage> images = {pictures.normal, pictures.over, pictures.down};
  if (page == kr450::PAGE_MAIN) images.push_back(SkinImage::DpiKnob);
  if (page == kr450::PAGE_LIGHTING) images.push_back(SkinImage::PreviewBlue);
  return images;
}

// state.range(0): the page; state.range(1): the pixel ratio in tenths.
void BM_PaintFromKeptPictures(benchmark::State& state) {
  const PaintView view = ViewOf(static_cast<int>(state.range(0)));
  const qreal ratio = static_cast<qreal>(state.range(1)) / 10;
  for (auto _ : state) {
    QImage page = painter->Render(view, skin->layout, ratio);
    benchmark::DoNotOptimize(page.constBits());
  }
}

void BM_PaintDecodingEveryTime(benchmark::State& state) {
  const int pageNumber = static_cast<int>(state.range(0));
  const PaintView view = ViewOf(pageNumber);
  const qreal ratio = static_cast<qreal>(state.range(1)) / 10;
  const std::vector<SkinImage> decoded = DecodedPerPaint(pageNumber);
  for (auto _ : state) {
    for (const SkinImage id : decoded) {
      std::optional<QImage> picture =
          kr450::DecodeSkinImage(SKIN_DIR + "/" + std::string(kr450::SkinImageFile(id).fileName));
      benchmark::DoNotOptimize(picture->constBits());
    }
    QImage page = painter->Render(view, skin->layout, ratio);
    benchmark::DoNotOptimize(page.constBits());
  }
}

void Pages(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"page", "ratio_x10"});
  for (const int ratio : {10, 20}) {
    for (const int page : {kr450::PAGE_MAIN, kr450::PAGE_ADVANCED, kr450::PAGE_LIGHTING}) {
      bench->Args({page, ratio});
    }
  }
  // Qt may hand parts of a large image operation to its own threads: count them too.
  bench->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
}
BENCHMARK(BM_PaintFromKeptPictures)->Apply(Pages);
BENCHMARK(BM_PaintDecodingEveryTime)->Apply(Pages);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  kr450::InstallSkinFontSubstitutes();
  StderrSink sink;
  kr450::NullWindowLink window;
  skin = new kr450::LoadedSkin;
  if (!kr450::LoadSkin(SKIN_DIR, sink, window, skin)) return EXIT_FAILURE;
  painter = new kr450::SkinPainter(skin->images);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete painter;
  delete skin;
  return EXIT_SUCCESS;
}
