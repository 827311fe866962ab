// The main window's shape from the shipped main_mask.jpg, built from runs of pixels, against
// the one-pixel-at-a-time construction (a 1 x 1 region combined by exclusive-or for every cut
// pixel) in the same run. Both give the same region; the bench checks that first.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <cstdio>
#include <cstdlib>

#include "ui/skin_image_set.h"
#include "ui/window_shape_qt.h"

namespace {

const std::string SKIN_DIR = std::string(KR450_SOURCE_DIR) + "/data/skins";

// The shipped skin's child controls (skin_advance.ini).
const kr450::ControlRect NAME_FIELD{620, 106, 776, 130};
const kr450::ControlRect EVENT_LIST{380, 106, 600, 436};
const kr450::ControlRect MACRO_LIST{180, 106, 360, 436};

const QImage& Mask() {
  static const QImage mask = *kr450::DecodeSkinImage(SKIN_DIR + "/main_mask.jpg");
  return mask;
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
    kr450::WindowShape shape = kr450::BuildWindowShape(Mask(), NAME_FIELD, EVENT_LIST, MACRO_LIST);
    benchmark::DoNotOptimize(shape);
  }
}
BENCHMARK(BM_WindowShapeFromRuns)->Unit(benchmark::kMillisecond);

// The whole start-up step: decoding the JPEG as well.
void BM_DecodeAndWindowShape(benchmark::State& state) {
  for (auto _ : state) {
    const QImage mask = *kr450::DecodeSkinImage(SKIN_DIR + "/main_mask.jpg");
    kr450::WindowShape shape = kr450::BuildWindowShape(mask, NAME_FIELD, EVENT_LIST, MACRO_LIST);
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
  if (kr450::BuildWindowShape(Mask(), {}, {}, {}).windowShape != PixelByPixel(Mask())) {
    std::fprintf(stderr, "the two constructions disagree\n");
    return EXIT_FAILURE;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return EXIT_SUCCESS;
}
