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

#include "app/cli.h"
#include "app/driver_session.h"
#include "app/instance_cli.h"
#include "app/trace_output.h"
#include "config/decimal.h"

namespace kr450 {
namespace {

constexpr auto CLICK_HOLD = std::chrono::milliseconds(20);
constexpr int MAX_SIM_WAIT_MS = 600000;

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
  std::vector<std::string> problems;
  std::unique_ptr<InputSynth> input = OpenInputBackend(context.options.input, &problems);
  for (const std::string& problem : problems) context.err << "kr450-cli: " << problem << "\n";
  return input;
}

// A driver session of the command line: stderr for messages, the trace on stdout.
class CliSession {
 public:
  CliSession(CliContext& context, std::unique_ptr<InputSynth> input)
      : trace_(context.out, context.options.trace),
        messages_(context.err),
        session_({.simulate = context.options.simulate, .trace = &trace_}, std::move(input),
                 window_, messages_) {}

  ~CliSession() { Stop(); }
  CliSession(const CliSession&) = delete;
  CliSession& operator=(const CliSession&) = delete;

  DriverSession& operator*() { return session_; }
  DriverSession* operator->() { return &session_; }
  TraceOutput& trace() { return trace_; }
  SignalWindowLink& window() { return window_; }

  // The close sequence, or after a removal only the end of the workers.
  void Stop() { window_.removed.load() ? session_.EndAfterRemoval() : session_.ShutDown(); }

 private:
  TraceOutput trace_;
  SignalWindowLink window_;
  StderrMessages messages_;
  DriverSession session_;
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
  // Before the mouse is touched: two drivers would perform every press twice.
  std::unique_ptr<CliInstance> instance = CliInstance::Claim(context, "run");
  if (instance == nullptr) return 1;
  std::unique_ptr<InputSynth> input = ChooseInput(context);
  if (input == nullptr) return 1;
  CliSession session(context, std::move(input));
  int status = 0;
  if (!session->Start(context.dataDirectory)) {
    context.err << NO_MOUSE_MESSAGE << "\n";
    status = 1;
  } else {
    context.err << "kr450-cli: driver running; SIGINT or SIGTERM ends it\n";
    session->TraceScheduling(false);
    signals.Wait();
    if (session.window().removed.load()) {
      context.err << "kr450-cli: the KR-450 was removed\n";
      status = 1;
    }
  }
  session.Stop();
  return status;
}

struct SimStep {
  enum class Kind { Press, Release, Click, Wait } kind;
  int value;  // key 1..6 or milliseconds
};

// A step's number: one to six digits.
std::optional<int> ParseSimNumber(const std::string& number) {
  if (number.empty() || number.size() > 6 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return ParseDecimal(number);
}

// One WORD NUMBER pair: wait MS, or press, release or click K.
std::optional<SimStep> ParseSimStep(const std::string& word, const std::string& number) {
  const std::optional<int> value = ParseSimNumber(number);
  if (!value) return std::nullopt;
  if (word == "wait") {
    if (*value > MAX_SIM_WAIT_MS) return std::nullopt;
    return SimStep{SimStep::Kind::Wait, *value};
  }
  if (*value < 1 || *value > SimulatedMouse::KEY_COUNT) return std::nullopt;
  if (word == "press") return SimStep{SimStep::Kind::Press, *value};
  if (word == "release") return SimStep{SimStep::Kind::Release, *value};
  if (word == "click") return SimStep{SimStep::Kind::Click, *value};
  return std::nullopt;
}

bool ParseSimSteps(const std::vector<std::string>& args, std::vector<SimStep>* steps) {
  if (args.size() % 2 != 0) return false;
  for (size_t i = 0; i < args.size(); i += 2) {
    const std::optional<SimStep> step = ParseSimStep(args[i], args[i + 1]);
    if (!step) return false;
    steps->push_back(*step);
  }
  return !steps->empty();
}

// The steps of `sim`, played on a thread of their own so that the command's thread can wait
// for an end signal. An end cuts a wait short and plays no further step.
class SimPlayer {
 public:
  SimPlayer(CliSession& session, std::vector<SimStep> steps)
      : session_(session), steps_(std::move(steps)) {}

  // Plays the steps, waits until the executor is idle and then sends SIM_DONE_SIGNAL to
  // `waiter`.
  void Start(pthread_t waiter) {
    thread_ = std::thread([this, waiter] {
      for (const SimStep& step : steps_) {
        if (!Perform(step)) break;
      }
      session_->WaitUntilIdle();
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
    perform(*session_->mouse());
    return true;
  }

  bool Sleep(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !woken_.wait_for(lock, duration, [this] { return interrupted_; });
  }

  CliSession& session_;
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
  std::unique_ptr<CliInstance> instance = CliInstance::Claim(context, "sim");
  if (instance == nullptr) return 1;
  std::unique_ptr<InputSynth> input = ChooseInput(context);
  if (input == nullptr) return 1;
  CliSession session(context, std::move(input));
  if (!session->Start(context.dataDirectory)) {
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
  session.Stop();
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
