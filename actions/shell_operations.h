#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "actions/input_synth.h"
#include "actions/program_launcher.h"

namespace kr450 {

// Candidates, in the order they are tried. The first found on PATH is started.
const std::vector<std::string>& CalculatorCandidates();
const std::vector<std::string>& TerminalCandidates();  // x-terminal-emulator first

// Ways to lock the session, tried in order until one succeeds: logind, then the screen lockers
// of the common desktops.
std::vector<CommandLine> LockSessionCommands();
// The file manager at the computer's top view, then at the home folder.
std::vector<CommandLine> OpenComputerCommands(const std::string& home);

// The full path of the first name in `candidates` that is an executable file in one of the
// folders of `pathVariable` (a PATH value), or "" when none is.
std::string FindFirstOnPath(const std::vector<std::string>& candidates,
                            std::string_view pathVariable);

// Starts programs for the desktop through the process's one ProgramLauncher: without a shell,
// at normal priority whatever the caller's, in the background, reaped by the launcher's one
// thread when they end. PATH and HOME are read when the object is made.
class ShellOperations {
 public:
  ShellOperations();
  ShellOperations(std::string pathVariable, std::string home);

  // Each returns at once; false when no program for it exists on PATH (nothing is started).
  bool LockSession();
  bool OpenComputer();
  bool StartProgram(Program program);

 private:
  // Runs the commands found on PATH one after another in the background until one exits with
  // status 0; false when none is found.
  bool RunFirstThatSucceeds(std::vector<CommandLine> commands);

  std::string path_;
  std::string home_;
};

}  // namespace kr450
