#include "actions/shell_operations.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "actions/thread_priority.h"

extern char** environ;

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

// Starts argv[0] (a full path) without a shell; the child's id, or -1.
pid_t Spawn(const std::string& program, const CommandLine& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The child must not write into the driver's output (a trace, a pipe the caller reads).
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                     fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
  }
  // A session of its own, with no signal blocked or ignored: the program outlives the driver
  // and is not hit by the Ctrl+C that ends it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGINT, SIGTERM, SIGPIPE, SIGHUP}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
  flags |= POSIX_SPAWN_SETSID;
#endif
  posix_spawnattr_setflags(&attributes, flags);
  pid_t pid = -1;
  int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

int WaitForExit(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
  std::vector<std::pair<std::string, CommandLine>> found;
  for (CommandLine& command : commands) {
    std::string program = FindFirstOnPath({command[0]}, path_);
    if (!program.empty()) found.emplace_back(program, std::move(command));
  }
  if (found.empty()) return false;
  // A thread of its own waits for each command's result (the fallbacks need it) and reaps the
  // programs, not the caller. The caller may be the executor at raised priority, which the
  // thread and the programs would inherit: the desktop's programs run at normal priority.
  std::thread([found = std::move(found)] {
    ResetCurrentThreadPriority();
    for (const auto& [program, args] : found) {
      pid_t pid = Spawn(program, args);
      if (pid >= 0 && WaitForExit(pid) == 0) return;
    }
  }).detach();
  return true;
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
