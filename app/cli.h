#pragma once

#include <iosfwd>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/ui_link.h"
#include "ui/ui_texts.h"

namespace kr450 {

// Options that come before the command.
struct CliOptions {
  std::string dataDir;    // --data DIR: folder of config.ini instead of the program's
  bool simulate = false;  // --simulate: the simulated mouse instead of the system's devices
  bool trace = false;     // --trace: one line per report / synthesised call
  std::string input;      // --input xtest|uinput|record; empty: the default backend
};

struct CliContext {
  CliOptions options;
  std::string dataDirectory;  // resolved: --data or the program's data folder
  std::ostream& out;
  std::ostream& err;
};

// A command returns the process exit status: 0 success, 1 failure, 2 bad usage.
using CliHandler = int (*)(CliContext& context, const std::vector<std::string>& args);

struct CliCommand {
  std::string_view name;
  std::string_view usage;  // e.g. "show [N]"
  CliHandler run;
};

// Command tables, one per subsystem. When two tables name the same command, the first of
// actions, device, config wins: the device layer's `reset` also applies to the mouse.
std::span<const CliCommand> ConfigCommands();
std::span<const CliCommand> DeviceCommands();
std::span<const CliCommand> ActionCommands();

// What the driver shows when the mouse is missing.
inline constexpr std::string_view NO_MOUSE_MESSAGE = NO_MOUSE_TEXT;

// The messages the window would show in a box, printed to stderr.
class StderrMessages final : public MessageSink {
 public:
  explicit StderrMessages(std::ostream& err) : err_(err) {}
  void ShowMessage(std::string_view text) override { err_ << text << "\n"; }

 private:
  std::ostream& err_;
};

// Parses "N" as a configuration number 1..max; false for anything else.
bool ParseConfigNumber(std::string_view text, int max, int* n);

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace kr450
