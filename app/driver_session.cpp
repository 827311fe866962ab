#include "app/driver_session.h"

#include <chrono>
#include <optional>
#include <thread>

#include "actions/input_backends.h"
#include "actions/input_call.h"
#include "actions/null_input.h"
#include "config/config_store.h"
#include "device/feature_report.h"
#include "device/worker_scheduling.h"
#include "macro/macro_file.h"
#include "ui/ui_texts.h"

namespace kr450 {
namespace {

// After the last press the reader may still be taking the last report.
constexpr auto SETTLE = std::chrono::milliseconds(50);

}  // namespace

std::unique_ptr<InputSynth> OpenInputBackend(std::string_view choice,
                                             std::vector<std::string>* problems) {
  std::string chosen, error;
  std::unique_ptr<InputSynth> input = MakeInputSynth(choice, &chosen, &error);
  if (input != nullptr) return input;
  problems->push_back(chosen + " input: " + error);
  if (!choice.empty()) return nullptr;
  problems->push_back("running without synthesised input (--trace shows what it would be)");
  return std::make_unique<NullInput>();
}

DriverSession::DriverSession(Options options, std::unique_ptr<InputSynth> backend,
                             WindowLink& window, MessageSink& messages)
    : options_(std::move(options)),
      window_(window),
      messages_(messages),
      backend_(std::move(backend)),
      tracing_(*backend_, clock_, [this](const InputCall& call) { TraceCall(call); }),
      input_(options_.trace != nullptr && options_.trace->enabled()
                 ? static_cast<InputSynth&>(tracing_)
                 : *backend_),
      stack_(state_, input_, window_, clock_,
             {.simulate = options_.simulate,
              .traceFeatureReport =
                  options_.trace != nullptr && options_.trace->enabled()
                      ? std::function<void(std::span<const uint8_t>)>(
                            [trace = options_.trace](std::span<const uint8_t> report) {
                              trace->Line(FormatReportLine(report));
                            })
                      : nullptr,
              .watchResume = options_.watchResume,
              .resumeBusAddress = options_.resumeBusAddress}),
      reader_(state_, stack_.link(), window_, clock_),
      executor_(state_, macros_, stack_.link(), input_, window_, clock_) {}

DriverSession::~DriverSession() {
  Stop(Ending::Removal);
}

void DriverSession::StartWorkers() {
  if (workersStarted_) return;
  workersStarted_ = true;
  state_.pressPending.store(0);
  state_.stopRequested.store(0);
  reader_.Start();
  executor_.Start();
}

void DriverSession::LoadConfiguration(const std::string& dataDirectory) {
  LoadAtStartup(state_, dataDirectory);
}

void DriverSession::LoadMacros(const std::string& dataDirectory) {
  // A macro file that cannot be read is shown as missing; the driver runs on without macros.
  if (!LoadMacroFile(macros_, dataDirectory + "/Macro.dat"))
    messages_.ShowMessage(FILE_MISSING_TEXT);
}

bool DriverSession::OpenDevice() {
  return stack_.link().OpenDevice();
}

Result<ApplyReports> DriverSession::Apply() {
  return stack_.link().ApplyConfig();
}

bool DriverSession::Start(const std::string& dataDirectory) {
  LoadConfiguration(dataDirectory);
  LoadMacros(dataDirectory);
  StartWorkers();
  const bool found = OpenDevice();
  (void)Apply();  // without the mouse it still stores the configuration
  return found;
}

void DriverSession::TraceScheduling(bool inBackground) {
  if (options_.trace == nullptr || !options_.trace->enabled() || schedulingTrace_.joinable()) {
    return;
  }
  // A worker asks at its start; a missing or silent bus answers within its timeout.
  auto print = [trace = options_.trace] {
    constexpr auto WAIT = std::chrono::milliseconds(500);
    trace->Line(WorkerSchedulingLine(Worker::InputReader, WAIT));
    trace->Line(WorkerSchedulingLine(Worker::ActionExecutor, WAIT));
  };
  inBackground ? void(schedulingTrace_ = std::thread(print)) : print();
}

void DriverSession::ShutDown() {
  Stop(Ending::Close);
}

void DriverSession::EndAfterRemoval() {
  Stop(Ending::Removal);
}

void DriverSession::EndWithoutMouse() {
  Stop(Ending::NoMouse);
}

void DriverSession::Stop(Ending ending) {
  if (stopped_) return;
  stopped_ = true;
  state_.shutdownRequested.store(true);
  clock_.WakeAll();
  executor_.Stop();
  if (ending != Ending::Removal) SendCloseKeyUps(input_);
  if (ending == Ending::Close) stack_.link().ShutDown();
  if (ending == Ending::NoMouse) {
    // The apply stores the configuration as always; only the pointer speed goes back.
    const std::optional<int> speed = input_.GetPointerSpeed();
    (void)stack_.link().ApplyConfig();
    if (speed) input_.SetPointerSpeed(*speed);
  }
  reader_.Stop();
  if (schedulingTrace_.joinable()) schedulingTrace_.join();
  // No press is performed any more: whoever waits for the executor to go idle stops waiting.
  state_.pressPending.store(0);
  state_.pressPending.notify_all();
}

void DriverSession::WaitUntilIdle() {
  do {
    std::this_thread::sleep_for(SETTLE);
    for (int32_t v; (v = state_.pressPending.load()) != 0;) state_.pressPending.wait(v);
  } while (state_.pressPending.load() != 0);
}

// Key and button events carry their time; the speed, the lock, the folder and the program
// starts stand alone.
void DriverSession::TraceCall(const InputCall& call) {
  TraceOutput& trace = *options_.trace;
  const bool timed = call.kind == InputCall::Kind::Key || call.kind == InputCall::Kind::Button;
  timed ? trace.TimedLine(FormatInputCall(call), call.at) : trace.Line(FormatInputCall(call));
}

}  // namespace kr450
