#include "actions/shell_operations.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

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

// A command ready to start, built before the fork: after it, in a process with other
// threads, only async-signal-safe calls may be made until the exec.
struct PreparedCommand {
  std::string program;  // full path
  CommandLine args;
  std::vector<char*> argv;

  PreparedCommand(std::string path, CommandLine commandArgs)
      : program(std::move(path)), args(std::move(commandArgs)) {
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
  }
  PreparedCommand(const PreparedCommand&) = delete;
  PreparedCommand& operator=(const PreparedCommand&) = delete;
};

// The kernel's timer slack for ordinary processes.
constexpr unsigned long DEFAULT_TIMER_SLACK_NS = 50000;

// The nice value of the desktop's programs: normal, or the driver's own when it was started
// below normal. The process id names the main thread, which never raises itself.
int NormalNice() {
  errno = 0;
  int started = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
  return errno != 0 ? 0 : std::max(0, started);
}

// From here on in the child of a fork: async-signal-safe calls only.

// The runner's start: normal scheduling whatever the calling thread had (the executor runs
// raised), a session of its own so that the Ctrl+C that ends the driver does not reach the
// programs, no signal blocked or ignored that they would inherit, and no share in the
// driver's output (a trace, a pipe the caller reads) or its open files.
void PrepareRunner(int nice) {
  sched_param normal{};
  ::sched_setscheduler(0, SCHED_OTHER, &normal);
  ::setpriority(PRIO_PROCESS, 0, nice);
  ::prctl(PR_SET_TIMERSLACK, DEFAULT_TIMER_SLACK_NS, 0, 0, 0);  // the executor's is tight
  ::setsid();
  struct sigaction defaults {};
  defaults.sa_handler = SIG_DFL;
  for (int sig : {SIGINT, SIGTERM, SIGPIPE, SIGHUP}) ::sigaction(sig, &defaults, nullptr);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  const int in = ::open("/dev/null", O_RDONLY);
  const int out = ::open("/dev/null", O_WRONLY);
  if (in >= 0) ::dup2(in, STDIN_FILENO);
  if (out >= 0) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
  }
  // Nor in its devices and connections (the mouse, uinput, the display).
  ::close_range(STDERR_FILENO + 1, ~0U, 0);
}

[[noreturn]] void Exec(const PreparedCommand& command) {
  ::execve(command.program.c_str(), command.argv.data(), environ);
  ::_exit(127);
}

// Exit status of a command run to its end, or -1.
int RunToEnd(const PreparedCommand& command) {
  const pid_t pid = ::_Fork();
  if (pid == 0) Exec(command);
  if (pid < 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Tries the commands in order until one exits with status 0; the last one becomes the runner
// itself, so that nothing waits on a program that stays open.
[[noreturn]] void RunCommands(const std::vector<std::unique_ptr<PreparedCommand>>& commands,
                              int nice) {
  PrepareRunner(nice);
  for (size_t i = 0; i + 1 < commands.size(); ++i) {
    if (RunToEnd(*commands[i]) == 0) ::_exit(0);
  }
  Exec(*commands.back());
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
  std::vector<std::unique_ptr<PreparedCommand>> found;
  for (CommandLine& command : commands) {
    std::string program = FindFirstOnPath({command[0]}, path_);
    if (!program.empty()) {
      found.push_back(std::make_unique<PreparedCommand>(std::move(program), std::move(command)));
    }
  }
  if (found.empty()) return false;
  // Nothing in the driver waits on the programs: a short-lived middle process starts the
  // runner and ends at once, so that the runner and the programs belong to init (or the
  // session's reaper), which reaps them; the driver reaps only the middle process, here.
  const int nice = NormalNice();
  const pid_t middle = ::fork();
  if (middle == 0) {
    const pid_t runner = ::_Fork();
    if (runner == 0) RunCommands(found, nice);
    ::_exit(runner < 0 ? 1 : 0);
  }
  if (middle < 0) return false;
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
