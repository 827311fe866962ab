#include "actions/shell_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace kr450 {

const std::vector<std::string>& CalculatorCandidates() {
  static const std::vector<std::string> names = {
      "gnome-calculator", "kcalc",        "galculator",  "mate-calc",
      "qalculate-gtk",    "qalculate-qt", "speedcrunch", "xcalc"};
  return names;
}

const std::vector<std::string>& TerminalCandidates() {
  static const std::vector<std::string> names = {"x-terminal-emulator",
                                                 "gnome-terminal",
                                                 "konsole",
                                                 "xfce4-terminal",
                                                 "mate-terminal",
                                                 "lxterminal",
                                                 "qterminal",
                                                 "tilix",
                                                 "terminator",
                                                 "alacritty",
                                                 "kitty",
                                                 "foot",
                                                 "xterm"};
  return names;
}

std::vector<CommandLine> LockSessionCommands() {
  return {
      {"loginctl", "lock-session"},
      {"xdg-screensaver", "lock"},
      {"gnome-screensaver-command", "--lock"},
      {"xscreensaver-command", "-lock"},
      {"light-locker-command", "--lock"},
      {"dm-tool", "lock"},
      {"xflock4"},
  };
}

std::vector<CommandLine> OpenComputerCommands(const std::string& home) {
  return {
      {"gio", "open", "computer:///"},
      {"xdg-open", home.empty() ? "/" : home},
  };
}

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindFirstOnPath(const std::vector<std::string>& candidates,
                            std::string_view pathVariable) {
  for (const std::string& name : candidates) {
    if (name.find('/') != std::string::npos) {
      if (IsExecutableFile(name)) return name;
      continue;
    }
    std::string_view rest = pathVariable;
    while (true) {
      size_t colon = rest.find(':');
      std::string_view folder = rest.substr(0, colon);
      // An empty entry means the current folder; a driver does not start programs from there.
      if (!folder.empty()) {
        std::string full = std::string(folder) + "/" + name;
        if (IsExecutableFile(full)) return full;
      }
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  return {};
}

ShellOperations::ShellOperations()
    : ShellOperations(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin",
                      std::getenv("HOME") != nullptr ? std::getenv("HOME") : "") {}

ShellOperations::ShellOperations(std::string pathVariable, std::string home)
    : path_(std::move(pathVariable)), home_(std::move(home)) {}

bool ShellOperations::RunFirstThatSucceeds(std::vector<CommandLine> commands) {
  std::vector<CommandLine> found;
  for (CommandLine& command : commands) {
    std::string program = FindFirstOnPath({command[0]}, path_);
    if (program.empty()) continue;
    command[0] = std::move(program);
    found.push_back(std::move(command));
  }
  if (found.empty()) return false;
  return ProgramLauncher::Shared().Launch(std::move(found));
}

bool ShellOperations::LockSession() {
  return RunFirstThatSucceeds(LockSessionCommands());
}

bool ShellOperations::OpenComputer() {
  return RunFirstThatSucceeds(OpenComputerCommands(home_));
}

bool ShellOperations::StartProgram(Program program) {
  std::string path = FindFirstOnPath(
      program == Program::Calculator ? CalculatorCandidates() : TerminalCandidates(), path_);
  if (path.empty()) return false;
  return RunFirstThatSucceeds({{path}});
}

}  // namespace kr450
