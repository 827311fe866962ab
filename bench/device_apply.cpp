// ApplyConfig end to end: Init/CurConfig and configuration 6 in one atomic replace, eight
// feature reports to the simulated mouse, the current configuration in a second replace.
// Against it, the naive way to store the same keys: one atomic replace per key, as a
// profile writer that writes key by key would do.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "config/clock.h"
#include "config/config_store.h"
#include "device/device_link.h"
#include "device/simulated_mouse.h"
#include "device/wakeable_clock.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

struct ApplySetup {
  ApplySetup() {
    test::CopyShippedData(dir, {"config.ini"});
    LoadAtStartup(state, dir.path().string());
    state.mainPageShown = false;  // no blink worker
    link.OpenDevice();
  }

  test::ScratchDir dir;
  DriverState state;
  SimulatedMouse mouse;
  RecordingPointerSpeed pointer;
  NullWindowLink window;
  FakeStoppableClock clock;
  DeviceLink link{state, mouse, pointer, window, clock};
};

void BM_ApplyConfig(benchmark::State& bench) {
  ApplySetup setup;
  for (auto _ : bench) {
    ApplyOutcome outcome = setup.link.ApplyConfig();
    benchmark::DoNotOptimize(outcome.reportsSent);
    setup.mouse.ClearFeatureReports();
  }
}
BENCHMARK(BM_ApplyConfig)->Unit(benchmark::kMillisecond);

void BM_ApplyReportsOnly(benchmark::State& bench) {
  ApplySetup setup;
  for (auto _ : bench) {
    for (int i = 0; i < 8; ++i) benchmark::DoNotOptimize(setup.link.SendFeatureReport(0x10, 1, 1));
    setup.mouse.ClearFeatureReports();
  }
}
BENCHMARK(BM_ApplyReportsOnly)->Unit(benchmark::kMicrosecond);

void BM_NaiveKeyByKeyStore(benchmark::State& bench) {
  ApplySetup setup;
  const std::string file = setup.state.configFilePath;
  const auto values = ConfigKeyValues(setup.state.Config());
  for (auto _ : bench) {
    Status status =
        UpdateIniFile(file, [](IniDocument& doc) { doc.Set("Init", "CurConfig", "1"); });
    for (int section : {6, 1}) {
      for (const auto& entry : values) {
        status = UpdateIniFile(file, [&](IniDocument& doc) {
          doc.Set(ConfigSectionName(section), entry.first, entry.second);
        });
      }
    }
    benchmark::DoNotOptimize(status.ok());
  }
}
BENCHMARK(BM_NaiveKeyByKeyStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kr450

BENCHMARK_MAIN();
