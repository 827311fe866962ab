// The command-line tool's device commands: probe, apply and reset (which, unlike the
// configuration-only reset, ends by applying to the mouse).
#include <cerrno>
#include <cstdio>
#include <ostream>
#include <thread>

#include "actions/input_backends.h"
#include "actions/uinput_input.h"
#include "app/cli.h"
#include "app/paths.h"
#include "config/config_store.h"
#include "config/errno_text.h"
#include "device/collection_text.h"
#include "device/device_stack.h"
#include "device/feature_report.h"
#include "device/wakeable_clock.h"
#include "device/worker_scheduling.h"
#include "macro/macro_file.h"

namespace kr450 {
namespace {

constexpr std::string_view ACCESS_HINT =
    "access to the KR-450 was denied: install data/70-kr450.rules as "
    "/etc/udev/rules.d/70-kr450.rules, run 'udevadm control --reload' and 'udevadm trigger', "
    "then plug the mouse in again";

// The session's pointer speed, which the apply sets as the driver does. With --simulate, or
// when no input backend can be opened, it is only kept in memory.
std::unique_ptr<PointerSpeed> ChoosePointerSpeed(CliContext& context, bool setsPointer) {
  if (setsPointer && !context.options.simulate) {
    std::string chosen, error;
    if (auto input = MakeInputSynth(context.options.input, &chosen, &error)) return input;
  }
  return std::make_unique<RecordingPointerSpeed>();
}

// One process's device side. These commands apply at most once and end: no resume watcher.
struct DeviceSession {
  // A session that only looks (probe) opens no input backend.
  explicit DeviceSession(CliContext& context, bool setsPointer = true)
      : pointer(ChoosePointerSpeed(context, setsPointer)),
        stack(state, *pointer, window, clock,
              {.simulate = context.options.simulate,
               .traceFeatureReport = TraceTo(context),
               .watchResume = false}) {}
  ~DeviceSession() { clock.WakeAll(); }  // the blink worker must not hold up the exit

  static std::function<void(std::span<const uint8_t>)> TraceTo(CliContext& context) {
    if (!context.options.trace) return {};
    std::ostream* out = &context.out;
    return
        [out](std::span<const uint8_t> report) { *out << FormatReportLine(report) << std::endl; };
  }

  DeviceLink& link() { return stack.link(); }

  DriverState state;
  std::unique_ptr<PointerSpeed> pointer;
  NullWindowLink window;
  WakeableClock clock;
  DeviceStack stack;
};

bool AccessDenied(const std::string& error) {
  return error.find("Permission denied") != std::string::npos;
}

// What the driver does without a mouse: the files are written all the same, then the user
// is asked to plug it in.
int Finish(CliContext& context, DeviceSession& session, bool found,
           const Result<ApplyReports>& outcome) {
  if (!outcome) {
    context.err << "kr450-cli: " << outcome.message() << "\n";
    return 1;
  }
  if (!found) {
    context.err << NO_MOUSE_MESSAGE << "\n";
    if (AccessDenied(session.link().OpenError())) context.err << ACCESS_HINT << "\n";
    return 1;
  }
  if (outcome->failed > 0) {
    context.err << "kr450-cli: the mouse did not accept " << outcome->failed << " of "
                << outcome->sent + outcome->failed << " reports\n";
    return 1;
  }
  return 0;
}

// The scheduling the driver's reader and executor get on this system: each asked for on a
// thread of its own, as the workers do at their start.
void PrintWorkerScheduling(std::ostream& out) {
  std::thread([] { ScheduleCurrentThreadPromptly(Worker::InputReader); }).join();
  std::thread([] {
    ScheduleCurrentThreadPromptly(Worker::ActionExecutor, {.tightTimerSlack = true});
  }).join();
  out << WorkerSchedulingLine(Worker::InputReader) << "\n"
      << WorkerSchedulingLine(Worker::ActionExecutor) << "\n";
}

// Whether the uinput backend (Wayland, the console) can send keys and buttons here, and what
// to do when it cannot. Opened and closed again: no virtual device is made.
std::string UinputAccessLine() {
  std::FILE* device = std::fopen(UINPUT_DEVICE_PATH, "r+");
  if (device != nullptr) {
    (void)std::fclose(device);  // nothing was written: its close cannot lose anything
    return std::string("uinput: ") + UINPUT_DEVICE_PATH + " can be opened";
  }
  const int error = errno;
  std::string line = std::string("uinput: ") + UINPUT_DEVICE_PATH + " cannot be opened (" +
                     ErrnoText(error) + "): ";
  if (error == ENOENT || error == ENODEV || error == ENXIO) {
    return line + "load the module with 'sudo modprobe uinput'";
  }
  return line +
         "install the kr450 package (or data/70-kr450.rules as /etc/udev/rules.d/70-kr450.rules "
         "and run 'udevadm control --reload' and 'udevadm trigger'), then log in again";
}

int Probe(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty()) return 2;
  DeviceSession session(context, false);
  const std::vector<HidCollectionInfo> collections = session.stack.platform().Enumerate();
  if (collections.empty()) context.out << "no HID collections found\n";
  bool kr450Denied = false;
  for (const HidCollectionInfo& c : collections) {
    context.out << CollectionLine(c) << "\n";
    if (c.vendorId == KR450_VENDOR_ID && c.productId == KR450_PRODUCT_ID && !c.accessible) {
      kr450Denied = kr450Denied || AccessDenied(c.error);
    }
  }
  if (session.link().OpenDevice()) {
    context.out << "KR-450 found at " << session.link().DevicePath() << "\n";
  } else {
    context.out << "KR-450 not found\n";
    if (kr450Denied || AccessDenied(session.link().OpenError())) context.out << ACCESS_HINT << "\n";
  }
  PrintWorkerScheduling(context.out);
  context.out << UinputAccessLine() << "\n";
  return 0;
}

int Apply(CliContext& context, const std::vector<std::string>& args) {
  int n = 0;
  if (args.size() > 1 || (args.size() == 1 && !ParseConfigNumber(args[0], USER_CONFIG_COUNT, &n))) {
    context.err << "kr450-cli: expected at most one configuration number 1..5\n";
    return 2;
  }
  DeviceSession session(context);
  LoadAtStartup(session.state, context.dataDirectory);
  if (n != 0) SelectConfig(session.state, n);
  const bool found = session.link().OpenDevice();
  const Result<ApplyReports> outcome = session.link().ApplyConfig();
  return Finish(context, session, found, outcome);
}

int Reset(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty()) return 2;
  DeviceSession session(context);
  LoadAtStartup(session.state, context.dataDirectory);
  const bool found = session.link().OpenDevice();
  StderrMessages messages(context.err);
  MacroTable macros;
  Result<ApplyReports> outcome = ApplyReports{};
  const ResetSteps steps{
      .resetMacros =
          [&] {
            Status status = ResetMacrosToDefaults(macros, SkinDirectory() + "/defMacro.dat",
                                                  context.dataDirectory + "/Macro.dat");
            if (status.notFound()) messages.ShowMessage(FILE_MISSING_TEXT);
            if (!status) messages.ShowMessage("kr450-cli: " + status.message());
          },
      .apply = [&] { outcome = session.link().ApplyConfig(); },
  };
  if (Status status = ResetAllConfigs(session.state, steps); !status) {
    context.err << "kr450-cli: " << status.message() << "\n";
    return 1;
  }
  return Finish(context, session, found, outcome);
}

constexpr CliCommand COMMANDS[] = {
    {"probe", "probe             list the HID collections and look for the KR-450", Probe},
    {"apply", "apply [N]         apply configuration N (default: the current one) to the mouse",
     Apply},
    {"reset", "reset             reset all five configurations and the macros, then apply", Reset},
};

}  // namespace

std::span<const CliCommand> DeviceCommands() {
  return COMMANDS;
}

}  // namespace kr450
