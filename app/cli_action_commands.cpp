// The command-line tool's driver commands: `run`, the resident driver without a window, and
// `sim`, which plays presses on the simulated mouse so every function can be tried without
// the hardware.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include "actions/action_executor.h"
#include "actions/input_backends.h"
#include "actions/null_input.h"
#include "actions/tracing_input.h"
#include "app/cli.h"
#include "app/paths.h"
#include "config/config_store.h"
#include "config/decimal.h"
#include "device/device_stack.h"
#include "device/feature_report.h"
#include "device/input_reader.h"
#include "device/wakeable_clock.h"
#include "macro/macro_file.h"

namespace kr450 {
namespace {

constexpr auto CLICK_HOLD = std::chrono::milliseconds(20);
constexpr int MAX_SIM_WAIT_MS = 600000;
// After the last step the reader may still be taking the last report.
constexpr auto SETTLE = std::chrono::milliseconds(50);

// The trace: lines from the executor, the device link and the steps of `sim` come from
// different threads and must not mix.
class TraceOutput {
 public:
  TraceOutput(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
  bool enabled() const { return enabled_; }

  void Line(std::string_view text) {
    std::lock_guard lock(mutex_);
    out_ << text << std::endl;
  }
  // "text t=MS", milliseconds since the start with three decimals.
  void TimedLine(std::string_view text, Clock::TimePoint at) {
    char t[32];
    std::snprintf(t, sizeof t, " t=%.3f",
                  std::chrono::duration<double, std::milli>(at - start_).count());
    Line(std::string(text) + t);
  }

 private:
  std::ostream& out_;
  const bool enabled_;
  const Clock::TimePoint start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;
};

// The window's part for a process without one: removal of the mouse ends `run` through a
// signal that its main thread waits for.
class SignalWindowLink final : public WindowLink {
 public:
  void RequestRepaint() override {}
  void RequestShutdown() override {
    removed.store(true);
    ::kill(::getpid(), SIGUSR1);
  }
  std::atomic<bool> removed{false};
};

// The input backend --input asks for. When the default cannot be opened the driver runs on
// without synthesised input (stage steps and configurations still work) and says so.
std::unique_ptr<InputSynth> ChooseInput(CliContext& context) {
  std::string chosen, error;
  std::unique_ptr<InputSynth> input = MakeInputSynth(context.options.input, &chosen, &error);
  if (input != nullptr) return input;
  context.err << "kr450-cli: " << chosen << " input: " << error << "\n";
  if (!context.options.input.empty()) return nullptr;
  context.err << "kr450-cli: running without synthesised input (--trace shows what it would "
                 "be)\n";
  return std::make_unique<NullInput>();
}

// One driver process: the device stack, the macros, the input reader and the executor.
class DriverSession {
 public:
  DriverSession(CliContext& context, std::unique_ptr<InputSynth> backend)
      : trace_(context.out, context.options.trace),
        backend_(std::move(backend)),
        tracing_(*backend_, clock_, [this](const InputCall& call) { TraceCall(call); }),
        input_(trace_.enabled() ? static_cast<InputSynth&>(tracing_) : *backend_),
        stack_(state_, input_, window_, clock_,
               {.simulate = context.options.simulate,
                .traceFeatureReport = TraceReports(),
                .watchResume = true,
                .resumeBusAddress = {}}),
        reader_(state_, stack_.link(), window_, clock_),
        executor_(state_, macros_, stack_.link(), input_, window_, clock_),
        messages_(context.err) {}

  ~DriverSession() { Stop(); }

  // Start-up: configuration and macros loaded, workers running, the mouse opened and the
  // configuration applied. False without the mouse.
  bool Start(const std::string& dataDirectory) {
    LoadAtStartup(state_, dataDirectory);
    LoadMacroFile(macros_, dataDirectory + "/Macro.dat", messages_);
    reader_.Start();
    executor_.Start();
    bool found = stack_.link().OpenDevice();
    stack_.link().ApplyConfig();  // without the mouse it still stores the configuration
    return found;
  }

  // The close sequence: the executor ends (a macro releases what it holds), six Alt key-ups,
  // the exit report and the pointer speed 10, then the reader ends. `removed`: the mouse is
  // gone, and only the workers are ended.
  void Stop(bool removed = false) {
    if (stopped_) return;
    stopped_ = true;
    state_.shutdownRequested.store(true);
    clock_.WakeAll();
    executor_.Stop();
    if (!removed) {
      SendCloseKeyUps(input_);
      stack_.link().ShutDown();
    }
    reader_.Stop();
    // No press is performed any more: whoever waits for the executor to go idle stops waiting.
    state_.pressPending.store(0);
    state_.pressPending.notify_all();
  }

  // Waits until the executor has performed every press the reader took, or the session has
  // stopped.
  void WaitUntilIdle() {
    do {
      std::this_thread::sleep_for(SETTLE);
      for (int32_t v; (v = state_.pressPending.load()) != 0;) state_.pressPending.wait(v);
    } while (state_.pressPending.load() != 0);
  }

  SimulatedMouse* mouse() { return stack_.simulatedMouse(); }
  TraceOutput& trace() { return trace_; }
  SignalWindowLink& window() { return window_; }

 private:
  // Key and button events carry their time; the speed, the lock, the folder and the program
  // starts stand alone.
  void TraceCall(const InputCall& call) {
    const bool timed = call.kind == InputCall::Kind::Key || call.kind == InputCall::Kind::Button;
    timed ? trace_.TimedLine(FormatInputCall(call), call.at) : trace_.Line(FormatInputCall(call));
  }

  std::function<void(std::span<const uint8_t>)> TraceReports() {
    if (!trace_.enabled()) return {};
    return [this](std::span<const uint8_t> report) { trace_.Line(FormatReportLine(report)); };
  }

  TraceOutput trace_;
  DriverState state_;
  WakeableClock clock_;
  SignalWindowLink window_;
  MacroTable macros_;
  std::unique_ptr<InputSynth> backend_;
  TracingInput tracing_;
  InputSynth& input_;
  DeviceStack stack_;
  InputReader reader_;
  ActionExecutor executor_;
  StderrMessages messages_;
  bool stopped_ = false;
};

// The signals that end `run` and `sim`, blocked in every thread so that the thread that runs
// the command takes them.
constexpr int SIM_DONE_SIGNAL = SIGUSR2;  // `sim` played its steps; sent to that thread alone

sigset_t EndSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR1);  // the mouse was removed
  sigaddset(&set, SIM_DONE_SIGNAL);
  return set;
}

// Blocks the end signals from here on (before any thread starts, so that the threads inherit
// the mask) and, at the end of the scope, takes back the ones that came during the close and
// restores the caller's mask: they must not reach the caller.
class BlockedEndSignals {
 public:
  BlockedEndSignals() : signals_(EndSignals()) {
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
  }
  ~BlockedEndSignals() {
    for (timespec zero{}; sigtimedwait(&signals_, nullptr, &zero) > 0;) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  BlockedEndSignals(const BlockedEndSignals&) = delete;
  BlockedEndSignals& operator=(const BlockedEndSignals&) = delete;

  int Wait() const {
    int received = 0;
    sigwait(&signals_, &received);
    return received;
  }

 private:
  sigset_t signals_;
  sigset_t previous_;
};

int Run(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty()) {
    context.err << "kr450-cli: run takes no arguments\n";
    return 2;
  }
  BlockedEndSignals signals;
  std::unique_ptr<InputSynth> input = ChooseInput(context);
  if (input == nullptr) return 1;
  DriverSession session(context, std::move(input));
  int status = 0;
  if (!session.Start(context.dataDirectory)) {
    context.err << NO_MOUSE_MESSAGE << "\n";
    status = 1;
  } else {
    context.err << "kr450-cli: driver running; SIGINT or SIGTERM ends it\n";
    signals.Wait();
    if (session.window().removed.load()) {
      context.err << "kr450-cli: the KR-450 was removed\n";
      status = 1;
    }
  }
  session.Stop(session.window().removed.load());
  return status;
}

struct SimStep {
  enum class Kind { Press, Release, Click, Wait } kind;
  int value;  // key 1..6 or milliseconds
};

bool ParseSimSteps(const std::vector<std::string>& args, std::vector<SimStep>* steps) {
  for (size_t i = 0; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return false;
    const std::string& word = args[i];
    const std::string& number = args[i + 1];
    if (number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    int value = ParseDecimal(number);
    SimStep step{};
    if (word == "wait") {
      if (value > MAX_SIM_WAIT_MS) return false;
      step = {SimStep::Kind::Wait, value};
    } else {
      if (value < 1 || value > SimulatedMouse::KEY_COUNT) return false;
      if (word == "press") {
        step = {SimStep::Kind::Press, value};
      } else if (word == "release") {
        step = {SimStep::Kind::Release, value};
      } else if (word == "click") {
        step = {SimStep::Kind::Click, value};
      } else {
        return false;
      }
    }
    steps->push_back(step);
  }
  return !steps->empty();
}

// The steps of `sim`, played on a thread of their own so that the command's thread can wait
// for an end signal. An end cuts a wait short and plays no further step.
class SimPlayer {
 public:
  SimPlayer(DriverSession& session, std::vector<SimStep> steps)
      : session_(session), steps_(std::move(steps)) {}

  // Plays the steps, waits until the executor is idle and then sends SIM_DONE_SIGNAL to
  // `waiter`.
  void Start(pthread_t waiter) {
    thread_ = std::thread([this, waiter] {
      for (const SimStep& step : steps_) {
        if (!Perform(step)) break;
      }
      session_.WaitUntilIdle();
      pthread_kill(waiter, SIM_DONE_SIGNAL);
    });
  }

  // No step is played after this returns; the thread ends once the session has stopped.
  void Interrupt() {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    woken_.notify_all();
  }

  ~SimPlayer() {
    Interrupt();
    if (thread_.joinable()) thread_.join();
  }

 private:
  // One step; false once interrupted.
  bool Perform(const SimStep& step) {
    const std::string key = std::to_string(step.value);
    switch (step.kind) {
      case SimStep::Kind::Press:
        return Act("sim press " + key, [&](SimulatedMouse& mouse) { mouse.PressKey(step.value); });
      case SimStep::Kind::Release:
        return Act("sim release " + key,
                   [&](SimulatedMouse& mouse) { mouse.ReleaseKey(step.value); });
      case SimStep::Kind::Click:
        return Act("sim press " + key,
                   [&](SimulatedMouse& mouse) { mouse.PressKey(step.value); }) &&
               Sleep(CLICK_HOLD) && Act("sim release " + key, [&](SimulatedMouse& mouse) {
                 mouse.ReleaseKey(step.value);
               });
      case SimStep::Kind::Wait:
        return Act("sim wait " + key, [](SimulatedMouse&) {}) &&
               Sleep(std::chrono::milliseconds(step.value));
    }
    return false;
  }

  // Shows the step and performs it on the mouse, unless interrupted.
  template <typename F>
  bool Act(const std::string& text, F perform) {
    std::lock_guard lock(mutex_);
    if (interrupted_) return false;
    TraceOutput& trace = session_.trace();
    if (trace.enabled()) trace.TimedLine(text, std::chrono::steady_clock::now());
    perform(*session_.mouse());
    return true;
  }

  bool Sleep(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !woken_.wait_for(lock, duration, [this] { return interrupted_; });
  }

  DriverSession& session_;
  const std::vector<SimStep> steps_;
  std::mutex mutex_;
  std::condition_variable woken_;
  bool interrupted_ = false;
  std::thread thread_;
};

// The exit status of `sim` ended by a signal, as a shell reports a program killed by it.
int InterruptedStatus(int signal) {
  return 128 + signal;
}

int Sim(CliContext& context, const std::vector<std::string>& args) {
  std::vector<SimStep> steps;
  if (!ParseSimSteps(args, &steps)) {
    context.err << "kr450-cli: sim takes steps: press K, release K, click K (K 1..6), wait MS\n";
    return 2;
  }
  if (!context.options.simulate) {
    context.err << "kr450-cli: sim plays the simulated mouse: add --simulate\n";
    return 2;
  }
  BlockedEndSignals signals;
  std::unique_ptr<InputSynth> input = ChooseInput(context);
  if (input == nullptr) return 1;
  DriverSession session(context, std::move(input));
  if (!session.Start(context.dataDirectory)) {
    context.err << NO_MOUSE_MESSAGE << "\n";
    return 1;
  }
  SimPlayer player(session, std::move(steps));
  player.Start(pthread_self());
  int received = signals.Wait();
  int status = 0;
  if (session.window().removed.load()) {
    context.err << "kr450-cli: the KR-450 was removed\n";
    status = 1;
  } else if (received == SIGINT || received == SIGTERM) {
    context.err << "kr450-cli: sim ended by a signal\n";
    status = InterruptedStatus(received);
  }
  // An end signal stops a macro that plays (it releases what it holds) and still runs the
  // close sequence.
  player.Interrupt();
  session.Stop(session.window().removed.load());
  return status;
}

constexpr CliCommand COMMANDS[] = {
    {"run", "run               the resident driver without a window, until SIGINT or SIGTERM", Run},
    {"sim",
     "sim STEP...       with --simulate: press K, release K, click K, wait MS on the simulated "
     "mouse;\n"
     "                    SIGINT or SIGTERM ends it early with the close sequence, exit status "
     "130 or 143",
     Sim},
};

}  // namespace

std::span<const CliCommand> ActionCommands() {
  return COMMANDS;
}

}  // namespace kr450
