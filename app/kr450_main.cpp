// kr450: the driver with its window. One per user: a second start shows the first one's
// window and ends.
#include <QSocketNotifier>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/driver_session.h"
#include "app/end_signals.h"
#include "app/instance_guard.h"
#include "app/instance_paths.h"
#include "app/instance_protocol.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "app/qt_window_link.h"
#include "app/trace_output.h"
#include "app/window_options.h"
#include "app/zel_app.h"

namespace kr450 {
namespace {

constexpr std::string_view WINDOW_IDENTITY = "kr450 window";

// One driver per user (per data folder when simulated). Null when this start must end: it
// asked the running window to show itself (*status 0), or another driver without a window
// runs, or no guard could be had (*status 1).
std::unique_ptr<InstanceGuard> ClaimInstance(const WindowOptions& options,
                                             const std::string& dataDirectory, int* status) {
  // A start for the tray (the service started with the mouse) only wants a driver to run: a
  // window that runs already is not brought up in front of the user.
  const std::string_view ask = options.tray ? REQUEST_HELLO : REQUEST_RESTORE;
  InstanceGuard::Acquired acquired =
      InstanceGuard::Acquire(InstanceKey(options.simulate, dataDirectory), WINDOW_IDENTITY, ask);
  switch (acquired.outcome) {
    case InstanceGuard::Outcome::Primary:
      return std::move(acquired.guard);
    case InstanceGuard::Outcome::AlreadyRunning:
      if (acquired.answer == ANSWER_RESTORED ||
          (options.tray && acquired.answer == HelloAnswer(WINDOW_IDENTITY))) {
        *status = 0;
        return nullptr;
      }
      std::cerr << "kr450: a KR-450 driver is already running ("
                << (acquired.answer.empty() ? std::string("it does not answer")
                                            : RunningInstanceName(acquired.answer))
                << "); end it first, two drivers would perform every press twice\n";
      *status = 1;
      return nullptr;
    case InstanceGuard::Outcome::Error:
      break;
  }
  std::cerr << "kr450: cannot make sure that only one driver runs: " << acquired.message << "\n";
  *status = 1;
  return nullptr;
}

// A "sim" request: presses or releases a key of the simulated mouse, as `kr450-cli sim` does;
// refused by a window on the real mouse (no simulated mouse).
std::string AnswerSimRequest(std::string_view request, SimulatedMouse* mouse, TraceOutput& trace) {
  static_assert(SIM_KEY_COUNT == SimulatedMouse::KEY_COUNT);
  if (mouse == nullptr) return std::string(ANSWER_NOT_SIMULATED);
  const std::optional<SimKeyStep> step = ParseSimRequest(request);
  if (!step) return std::string(ANSWER_BAD_SIM_STEP);
  trace.TimedLine((step->press ? "sim press " : "sim release ") + std::to_string(step->key));
  step->press ? mouse->PressKey(step->key) : mouse->ReleaseKey(step->key);
  return std::string(ANSWER_SIM_DONE);
}

int RunWindow(CZEL_ZUduvoApp& app, const WindowOptions& options) {
  const std::string dataDirectory = options.dataDir.empty() ? DataDirectory() : options.dataDir;
  if (Status status = EnsureConfigFile(dataDirectory); !status) {
    std::cerr << "kr450: " << status.message() << "\n";
    return 1;
  }
  int refused = 0;
  std::unique_ptr<InstanceGuard> instance = ClaimInstance(options, dataDirectory, &refused);
  if (instance == nullptr) return refused;

  std::vector<std::string> problems;
  std::unique_ptr<InputSynth> input = OpenInputBackend("", &problems);
  for (const std::string& problem : problems) std::cerr << "kr450: " << problem << "\n";

  TraceOutput trace(std::cout, options.trace);
  CZEL_ZUduvoDlg* window = nullptr;
  QtWindowLink link([&window] {
    if (window != nullptr) window->OnShutdownRequest();
  });
  MessageBoxSink messages;
  DriverSession session({.simulate = options.simulate, .trace = &trace}, std::move(input), link,
                        messages);
  CZEL_ZUduvoDlg dialog(session, link, messages, trace);
  window = &dialog;
  link.SetTarget(&dialog);

  // A second start asks this one to show its window; requests wait in the socket's queue
  // until the window exists.
  instance->SetRequestHandler([&dialog, &session, &trace](std::string_view request) {
    if (IsSimRequest(request)) return AnswerSimRequest(request, session.mouse(), trace);
    if (request != REQUEST_RESTORE) return std::string();
    dialog.RestoreFromRequest();
    return std::string(ANSWER_RESTORED);
  });
  QSocketNotifier requests(instance->fd(), QSocketNotifier::Read);
  QObject::connect(&requests, &QSocketNotifier::activated,
                   [&instance] { instance->HandleReadable(); });

  if (dialog.Start(dataDirectory, SkinDirectory()) != CZEL_ZUduvoDlg::StartResult::Running) {
    return 1;
  }
  EndSignals endSignals([&dialog](int) { dialog.ShutDown(0); });
  dialog.ShowAtStart(options.tray);
  const int status = app.exec();
  window = nullptr;
  link.SetTarget(nullptr);
  return status;
}

}  // namespace
}  // namespace kr450

int main(int argc, char** argv) {
  kr450::WindowOptions options;
  bool help = false;
  std::string error;
  if (!kr450::ParseWindowOptions(argc, argv, &options, &help, &error)) {
    std::cerr << "kr450: " << error << "\n" << kr450::WINDOW_USAGE;
    return 2;
  }
  if (help) {
    std::cout << kr450::WINDOW_USAGE;
    return 0;
  }
  kr450::CZEL_ZUduvoApp app(argc, argv);
  return kr450::RunWindow(app, options);
}
