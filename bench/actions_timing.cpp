// Timing of the action executor, each against a naive baseline in the same run:
// - press report to first synthesised event, through the simulated mouse, the input reader and
//   the executor woken by the reader, against a 2 ms polling executor;
// - macro schedule error over 10 000 events with 1 ms delays, played in passes on absolute
//   deadlines, against relative sleeps;
// - wake-ups of the reader and executor threads in 5 s idle, against polling threads.
// The first two again under load: one busy loop per processor at normal priority for the whole
// measurement, as a game keeps every core busy. One "summary" line each at the end. Google
// Benchmark runs the micro benchmarks first.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "actions/action_executor.h"
#include "actions/held_input.h"
#include "config/config_store.h"
#include "device/device_link.h"
#include "device/input_reader.h"
#include "device/simulated_mouse.h"
#include "device/wakeable_clock.h"
#include "device/worker_scheduling.h"
#include "macro/macro_file.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<size_t>(std::lround(p * static_cast<double>(values.size() - 1)));
  return values[std::min(index, values.size() - 1)];
}

// A backend that only notes when each key event happened.
class TimestampInput final : public InputSynth {
 public:
  TimestampInput() { times.reserve(20000); }
  bool KeyEvent(uint8_t, uint8_t, uint32_t) override { return Note(); }
  bool MouseButtonEvent(MouseButton, bool) override { return Note(); }
  bool LockSession() override { return true; }
  bool OpenComputer() override { return true; }
  bool StartProgram(Program) override { return true; }
  std::optional<int> GetPointerSpeed() override { return 10; }
  bool SetPointerSpeed(int) override { return true; }

  bool Note() {
    SteadyTime now = std::chrono::steady_clock::now();
    times.push_back(now);
    events.fetch_add(1);
    events.notify_all();
    return true;
  }

  std::vector<SteadyTime> times;  // written by the executor, read once it is idle
  std::atomic<int> events{0};
};

// The device side on the simulated mouse, with config.ini in a folder of its own and button 6
// given `code`, applied and confirmed.
struct Rig {
  explicit Rig(FunctionCode code) {
    test::CopyShippedData(dir, {"config.ini"});
    LoadAtStartup(state, dir.path().string());
    state.mainPageShown = false;  // no blink worker
    state.WithConfig([&](ConfigState& s) { s.config.buttons[5] = code; });
    link.OpenDevice();
    (void)link.ApplyConfig();  // the simulated mouse takes every report
    mouse.PressKey(6);         // the start click: its release ends the prompt
    mouse.ReleaseKey(6);
  }
  ~Rig() {
    clock.WakeAll();
    reader.Stop();
  }

  test::ScratchDir dir;
  DriverState state;
  MacroTable macros;
  SimulatedMouse mouse;
  TimestampInput input;
  NullWindowLink window;
  WakeableClock clock;
  DeviceLink link{state, mouse, input, window, clock};
  InputReader reader{state, link, window, clock};
  ActionExecutor executor{state, macros, link, input, window, clock};
};

// The naive executor loop: look at the flags every 2 ms.
class PollingExecutor {
 public:
  explicit PollingExecutor(Rig& rig) : rig_(rig) {
    thread_ = std::thread([this] {
      while (!stop_.load()) {
        if (rig_.state.pressPending.load() != 0) {
          rig_.executor.PerformPress(rig_.state.pressCode.load());
          rig_.state.pressPending.store(0);
          rig_.state.stopRequested.store(0);
          rig_.state.pressPending.notify_all();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    });
  }
  ~PollingExecutor() {
    stop_.store(true);
    thread_.join();
  }

 private:
  Rig& rig_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void WaitIdle(DriverState& state) {
  for (int32_t v; (v = state.pressPending.load()) != 0;) state.pressPending.wait(v);
}

// Presses of button 6 (VolumeMute: its key-down is the first event) at random moments; the
// time from the press report to the first synthesised event.
std::vector<double> PressLatencies(bool polling, int samples) {
  Rig rig(26);
  rig.reader.Start();
  std::optional<PollingExecutor> poller;
  if (polling) {
    poller.emplace(rig);
  } else {
    rig.executor.Start();
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> gapUs(500, 3000);
  std::vector<double> latencies;
  for (int i = 0; i < samples + 20; ++i) {
    int before = rig.input.events.load();
    SteadyTime pressed = std::chrono::steady_clock::now();
    rig.mouse.PressKey(6);
    while (rig.input.events.load() == before) rig.input.events.wait(before);
    double latency = Ms(rig.input.times[before] - pressed);
    if (i >= 20) latencies.push_back(latency);  // the first ones warm up
    WaitIdle(rig.state);
    rig.mouse.ReleaseKey(6);
    std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
  }
  if (!polling) {
    rig.clock.WakeAll();
    rig.executor.Stop();
  }
  return latencies;
}

struct ScheduleError {
  double mean, p99, drift;
};

// Each event's lateness against its schedule: the first event's time plus the delays before.
ScheduleError ErrorsOf(const std::vector<SteadyTime>& times, const std::vector<double>& delays) {
  std::vector<double> errors;
  double scheduled = 0;
  for (size_t k = 0; k < times.size(); ++k) {
    errors.push_back(Ms(times[k] - times[0]) - scheduled);
    scheduled += delays[k % delays.size()];
  }
  double mean =
      std::accumulate(errors.begin(), errors.end(), 0.0) / static_cast<double>(errors.size());
  return {mean, Percentile(errors, 0.99), errors.back()};
}

// 100 events of 1 ms, repeated 100 times: 10 000 events.
MacroRecord BenchMacro() {
  MacroRecord record = NewMacro(u"bench");
  record.eventCount = 100;
  for (int j = 0; j < 100; ++j) {
    record.events[j] = {0x41, j % 2 == 0 ? ACTION_PRESS : ACTION_RELEASE};
    record.SetDelay(j, 1);
  }
  record.repeatEnabled = 1;
  record.SetRepeatCount(100);
  return record;
}

// Played as the driver plays it: pressed on the mouse, on the executor's thread, with the
// clock the driver uses.
ScheduleError MacroSchedule() {
  Rig rig(41);
  rig.macros.Edit([](MacroTableData& data) {
    data.records[0] = BenchMacro();
    data.macroCount = 1;
  });
  rig.reader.Start();
  rig.executor.Start();
  rig.mouse.PressKey(6);
  rig.mouse.ReleaseKey(6);
  for (int n; (n = rig.input.events.load()) < 10000;) rig.input.events.wait(n);
  WaitIdle(rig.state);
  rig.clock.WakeAll();
  rig.executor.Stop();
  return ErrorsOf(rig.input.times, std::vector<double>(100, 1.0));
}

// The naive player: send the event, sleep its delay.
ScheduleError RelativeSleepSchedule() {
  TimestampInput input;
  MacroRecord record = BenchMacro();
  for (int pass = 0; pass < record.RepeatCount(); ++pass) {
    for (int j = 0; j < record.eventCount; ++j) {
      SendKey(input, record.events[j].keyCode, record.events[j].action == ACTION_PRESS);
      std::this_thread::sleep_for(std::chrono::milliseconds(record.Delay(j)));
    }
  }
  return ErrorsOf(input.times, std::vector<double>(100, 1.0));
}

// Context switches (every time the thread went to sleep and woke again) of the threads of
// this process that are not in `before`.
std::vector<int> Tasks() {
  std::vector<int> tids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    tids.push_back(std::stoi(entry.path().filename().string()));
  }
  return tids;
}

long Switches(int tid) {
  std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
  long total = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("voluntary_ctxt_switches:") ||
        line.starts_with("nonvoluntary_ctxt_switches:")) {
      total += std::stol(line.substr(line.find(':') + 1));
    }
  }
  return total;
}

long WakeupsOver(const std::vector<int>& threads, std::chrono::seconds span) {
  std::vector<long> start;
  for (int tid : threads) start.push_back(Switches(tid));
  std::this_thread::sleep_for(span);
  long total = 0;
  for (size_t i = 0; i < threads.size(); ++i) total += Switches(threads[i]) - start[i];
  return total;
}

std::vector<int> NewTasks(const std::vector<int>& before) {
  std::vector<int> now = Tasks(), added;
  for (int tid : now) {
    if (std::find(before.begin(), before.end(), tid) == before.end()) added.push_back(tid);
  }
  return added;
}

long IdleWakeups(bool polling, uint64_t* executorWakeups) {
  Rig rig(26);
  std::vector<int> before = Tasks();
  std::atomic<bool> stop{false};
  std::vector<std::thread> pollers;
  if (polling) {
    // Naive reader and executor: a pass every 2 ms each.
    for (int i = 0; i < 2; ++i) {
      pollers.emplace_back([&] {
        while (!stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      });
    }
  } else {
    rig.reader.Start();
    rig.executor.Start();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // both are waiting
  long wakeups = WakeupsOver(NewTasks(before), std::chrono::seconds(5));
  if (executorWakeups != nullptr) *executorWakeups = rig.executor.Wakeups();
  stop.store(true);
  for (std::thread& t : pollers) t.join();
  if (!polling) {
    rig.clock.WakeAll();
    rig.executor.Stop();
  }
  return wakeups;
}

// One busy loop per processor, at normal priority, from construction to destruction.
class BusyLoad {
 public:
  BusyLoad() {
    unsigned count = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count; ++i) {
      loops_.emplace_back([this] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 0);  // whatever the caller has
        uint64_t spins = 0;
        while (!stop_.load(std::memory_order_relaxed)) benchmark::DoNotOptimize(++spins);
      });
    }
  }
  ~BusyLoad() {
    stop_.store(true);
    for (std::thread& loop : loops_) loop.join();
  }
  size_t size() const { return loops_.size(); }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> loops_;
};

struct Figures {
  std::vector<double> woken, polled;
  ScheduleError absolute, relative;
};

Figures MeasurePressAndMacro(int samples) {
  Figures f;
  f.woken = PressLatencies(false, samples);
  f.polled = PressLatencies(true, samples);
  f.absolute = MacroSchedule();
  f.relative = RelativeSleepSchedule();
  return f;
}

void PrintFigures(const Figures& f, int samples, const std::string& load) {
  std::printf(
      "summary press-to-first-event%s (%d presses): p50 %.3f ms, p99 %.3f ms; baseline 2 ms "
      "polling: p50 %.3f ms, p99 %.3f ms\n",
      load.c_str(), samples, Percentile(f.woken, 0.5), Percentile(f.woken, 0.99),
      Percentile(f.polled, 0.5), Percentile(f.polled, 0.99));
  std::printf(
      "summary macro-schedule%s (10000 events, 1 ms delays): mean %.3f ms, p99 %.3f ms, drift "
      "at the last event %.3f ms; baseline relative sleeps: mean %.3f ms, p99 %.3f ms, drift "
      "%.3f ms\n",
      load.c_str(), f.absolute.mean, f.absolute.p99, f.absolute.drift, f.relative.mean,
      f.relative.p99, f.relative.drift);
}

// Micro benchmarks of the macro file codec.
void BM_EncodeMacroRecord(benchmark::State& bench) {
  MacroRecord record = BenchMacro();
  for (auto _ : bench) benchmark::DoNotOptimize(EncodeMacroRecord(record));
}
BENCHMARK(BM_EncodeMacroRecord);

void BM_DecodeMacroRecord(benchmark::State& bench) {
  std::string text = EncodeMacroRecord(BenchMacro());
  for (auto _ : bench) benchmark::DoNotOptimize(DecodeMacroRecord(text));
}
BENCHMARK(BM_DecodeMacroRecord);

}  // namespace
}  // namespace kr450

int main(int argc, char** argv) {
  using namespace kr450;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();

  const int samples = 2000;
  Figures idle = MeasurePressAndMacro(samples);
  Figures loaded;
  size_t loops = 0;
  {
    BusyLoad load;
    loops = load.size();
    loaded = MeasurePressAndMacro(samples);
  }
  std::printf("summary scheduling (uid %u): %s; %s\n", getuid(),
              WorkerSchedulingLine(Worker::InputReader).c_str(),
              WorkerSchedulingLine(Worker::ActionExecutor).c_str());
  PrintFigures(idle, samples, "");
  PrintFigures(loaded, samples,
               " under load (" + std::to_string(loops) + " busy loops at normal priority, uid " +
                   std::to_string(getuid()) + ")");

  uint64_t executorWakeups = 0;
  long idleWakeups = IdleWakeups(false, &executorWakeups);
  long polling = IdleWakeups(true, nullptr);
  std::printf(
      "summary idle-wakeups (reader + executor, 5 s): %ld (executor returned from its wait %llu "
      "times); baseline polling: %ld\n",
      idleWakeups, static_cast<unsigned long long>(executorWakeups), polling);
  std::fflush(stdout);
  return 0;
}
