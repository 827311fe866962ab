// The main window's shape from the shipped main_mask.jpg, built from runs of pixels, against
// the one-pixel-at-a-time construction (a 1 x 1 region combined by exclusive-or for every cut
// pixel) in the same run. Both give the same region; the bench checks that first.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/ui_link.h"
#include "ui/skin_files.h"
#include "ui/skin_image_set.h"
#include "ui/skin_layout.h"
#include "ui/window_shape_qt.h"

namespace {

const std::string SKIN_DIR = std::string(KR450_SOURCE_DIR) + "/data/skins";

class CollectingSink final : public kr450::MessageSink {
 public:
  void ShowMessage(std::string_view text) override { text_ += std::string(text) + "\n"; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The shipped skin's layout, read as the window reads it at start-up; the child controls'
// rectangles come from skin_advance.ini.
const kr450::SkinLayout& Layout() {
  static const kr450::SkinLayout layout = [] {
    CollectingSink sink;
    kr450::NullWindowLink window;
    kr450::SkinFiles files(SKIN_DIR, sink, window);
    kr450::SkinLayout read = kr450::ReadSkinLayout(files);
    if (!sink.text().empty()) {
      std::fprintf(stderr, "the shipped skin does not read cleanly:\n%s", sink.text().c_str());
      std::exit(EXIT_FAILURE);
    }
    return read;
  }();
  return layout;
}

const QImage& Mask() {
  static const QImage mask = *kr450::DecodeSkinImage(SKIN_DIR + "/main_mask.jpg");
  return mask;
}

kr450::WindowShape ShapeOf(const QImage& mask) {
  const kr450::SkinLayout& layout = Layout();
  return kr450::BuildWindowShape(mask, layout.nameField, layout.eventList, layout.macroList);
}

QRegion PixelByPixel(const QImage& mask) {
  QRegion shape(0, 0, mask.width(), mask.height());
  for (int x = 0; x < mask.width(); ++x) {
    for (int y = 0; y < mask.height(); ++y) {
      if (kr450::IsCutPixel(mask.pixel(x, y))) shape = shape.xored(QRegion(x, y, 1, 1));
    }
  }
  return shape;
}

void BM_WindowShapeFromRuns(benchmark::State& state) {
  for (auto _ : state) {
    kr450::WindowShape shape = ShapeOf(Mask());
    benchmark::DoNotOptimize(shape);
  }
}
BENCHMARK(BM_WindowShapeFromRuns)->Unit(benchmark::kMillisecond);

// The whole start-up step: decoding the JPEG as well.
void BM_DecodeAndWindowShape(benchmark::State& state) {
  for (auto _ : state) {
    const QImage mask = *kr450::DecodeSkinImage(SKIN_DIR + "/main_mask.jpg");
    kr450::WindowShape shape = ShapeOf(mask);
    benchmark::DoNotOptimize(shape);
  }
}
BENCHMARK(BM_DecodeAndWindowShape)->Unit(benchmark::kMillisecond);

// The baseline builds the window shape alone; the advanced page's region would double it.
void BM_WindowShapePixelByPixel(benchmark::State& state) {
  for (auto _ : state) {
    QRegion shape = PixelByPixel(Mask());
    benchmark::DoNotOptimize(shape);
  }
}
BENCHMARK(BM_WindowShapePixelByPixel)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  Layout();  // read before timing; ends the run if the skin does not read cleanly
  if (kr450::BuildWindowShape(Mask(), {}, {}, {}).windowShape != PixelByPixel(Mask())) {
    std::fprintf(stderr, "the two constructions disagree\n");
    return EXIT_FAILURE;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return EXIT_SUCCESS;
}
