#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "actions/action_executor.h"
#include "actions/input_synth.h"
#include "actions/tracing_input.h"
#include "app/trace_output.h"
#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/device_stack.h"
#include "device/input_reader.h"
#include "device/wakeable_clock.h"
#include "macro/macro_table.h"

namespace kr450 {

// The input backend for a --input choice ("" for the default). When the default cannot be
// opened the driver runs on without synthesised input (stage steps and configurations still
// work) on a NullInput; a backend named by the user that cannot be
// opened gives nothing. What went wrong is added to *problems, one line each.
std::unique_ptr<InputSynth> OpenInputBackend(std::string_view choice,
                                             std::vector<std::string>* problems);

// The engine of one driver process, shared by the window and `kr450-cli run`: the driver
// state, the macros, the device stack, the input reader and the action executor, with the
// start-up steps, the close sequence and the removal path. The caller hands in where requests
// for the window go, where messages for the user go and the input backend; nothing here knows
// whether a window exists.
//
// Thread use: everything is called from the thread that owns the session (the window thread or
// the command's thread); the workers call back through `window`.
class DriverSession {
 public:
  struct Options {
    bool simulate = false;           // a simulated mouse instead of the system's devices
    bool watchResume = true;         // apply again after a resume from sleep
    std::string resumeBusAddress{};  // another bus than the system bus (tests)
    TraceOutput* trace = nullptr;    // --trace: feature reports and synthesised calls
  };

  DriverSession(Options options, std::unique_ptr<InputSynth> backend, WindowLink& window,
                MessageSink& messages);
  ~DriverSession();  // Stop(): a session that was not closed ends its workers
  DriverSession(const DriverSession&) = delete;
  DriverSession& operator=(const DriverSession&) = delete;

  // The start-up steps, in the order a driver runs them; the window puts its own steps (the
  // skin, the shape, the menus) between them.
  void StartWorkers();  // no stale press is played: the hand-off flags are cleared first
  void LoadConfiguration(const std::string& dataDirectory);  // config.ini, current config
  void LoadMacros(const std::string& dataDirectory);         // Macro.dat
  bool OpenDevice();             // true when the mouse was found and opened
  Result<ApplyReports> Apply();  // the reports sent, or why config.ini was not written

  // All of the above in order, for a driver without a window. False without the mouse; the
  // configuration is applied all the same (the files are written).
  bool Start(const std::string& dataDirectory);

  // The close sequence: the executor ends (a macro releases what it holds), six Alt key-ups,
  // the exit report and the pointer speed 10, then the reader ends. Once only.
  void ShutDown();
  // The mouse is gone: only the workers are ended.
  void EndAfterRemoval();
  // Started without the mouse: the workers end, Alt is released, and the configuration is
  // stored as an apply would store it, but the user's pointer speed is left as it was (there
  // is no driver left to keep it).
  void EndWithoutMouse();

  // With a trace: one line per worker saying which scheduling it got. `inBackground` prints
  // them from a thread of its own once the workers have asked, so that a window thread never
  // waits for the answer; otherwise the caller waits (a missing or silent bus answers within
  // its timeout).
  void TraceScheduling(bool inBackground);

  // Waits until the executor has performed every press the reader took, or the session has
  // stopped.
  void WaitUntilIdle();

  DriverState& state() { return state_; }
  MacroTable& macros() { return macros_; }
  DeviceLink& link() { return stack_.link(); }
  SimulatedMouse* mouse() { return stack_.simulatedMouse(); }
  InputSynth& input() { return input_; }
  WakeableClock& clock() { return clock_; }
  bool stopped() const { return stopped_; }

 private:
  enum class Ending { Close, Removal, NoMouse };
  void Stop(Ending ending);
  void TraceCall(const InputCall& call);

  Options options_;
  WindowLink& window_;
  MessageSink& messages_;
  DriverState state_;
  WakeableClock clock_;
  MacroTable macros_;
  std::unique_ptr<InputSynth> backend_;
  TracingInput tracing_;
  InputSynth& input_;
  DeviceStack stack_;
  InputReader reader_;
  ActionExecutor executor_;
  std::thread schedulingTrace_;
  bool workersStarted_ = false;
  bool stopped_ = false;
};

}  // namespace kr450
