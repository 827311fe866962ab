#include "actions/program_launcher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>

#include "actions/thread_priority.h"

extern char** environ;

namespace kr450 {

struct ProgramLauncher::Running {
  pid_t pid = -1;
  int pidfd = -1;  // -1: a kernel without process descriptors; looked at once a second
  Chain rest;      // what to try when this command fails
};

namespace {

// The kernel's timer slack for ordinary threads; the executor's is tighter.
constexpr unsigned long DEFAULT_TIMER_SLACK_NS = 50000;
constexpr int POLL_WITHOUT_DESCRIPTOR_MS = 1000;

// A descriptor that becomes readable when the process ends, or -1. Through syscall(): not every
// C library declares the call for C++.
int PidDescriptor(pid_t pid) {
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

// Starts the command without a shell; the child's id, or -1.
pid_t Spawn(const CommandLine& command) {
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The child must not write into the driver's output (a trace, a pipe the caller reads), nor
  // hold its devices and connections (the mouse, uinput, the display).
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                     fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
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
  int rc = ::posix_spawn(&pid, command[0].c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// The exit status of a child that has ended, -1 for one killed by a signal; nothing while it
// runs.
std::optional<int> Reap(pid_t pid, bool block) {
  int status = 0;
  pid_t got;
  do {
    got = ::waitpid(pid, &status, block ? 0 : WNOHANG);
  } while (got < 0 && errno == EINTR);
  if (got == 0) return std::nullopt;
  if (got < 0) return -1;  // reaped elsewhere: as failed
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProgramLauncher& ProgramLauncher::Shared() {
  static ProgramLauncher launcher;
  return launcher;
}

ProgramLauncher::~ProgramLauncher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  if (wake_ >= 0) {
    const uint64_t one = 1;
    (void)::write(wake_, &one, sizeof one);
  }
  if (thread_.joinable()) thread_.join();
  if (wake_ >= 0) ::close(wake_);
}

bool ProgramLauncher::Launch(std::vector<CommandLine> chain) {
  if (chain.empty()) return false;
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  if (wake_ < 0) {
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) return false;
  }
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Loop(); });
    } catch (const std::system_error&) {
      return false;  // no thread to be had: nothing is started, as without the program
    }
  }
  queued_.push_back({std::move(chain), 0});
  const uint64_t one = 1;
  return ::write(wake_, &one, sizeof one) == sizeof one;
}

bool ProgramLauncher::StartNext(Chain chain, std::vector<Running>& running) {
  while (chain.next < chain.commands.size()) {
    const pid_t pid = Spawn(chain.commands[chain.next++]);
    if (pid < 0) continue;  // as a command that failed
    running.push_back({pid, PidDescriptor(pid), std::move(chain)});
    return true;
  }
  return false;
}

std::vector<short> ProgramLauncher::WaitForEvents(int wake, const std::vector<Running>& running) {
  std::vector<pollfd> fds{{wake, POLLIN, 0}};
  bool withoutDescriptor = false;
  for (const Running& r : running) {
    fds.push_back({r.pidfd, POLLIN, 0});  // a negative descriptor is skipped
    withoutDescriptor = withoutDescriptor || r.pidfd < 0;
  }
  const int timeout = withoutDescriptor ? POLL_WITHOUT_DESCRIPTOR_MS : -1;
  if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) return {};
  std::vector<short> events;
  events.reserve(fds.size());
  for (const pollfd& fd : fds) events.push_back(fd.revents);
  return events;
}

bool ProgramLauncher::TakeQueued(std::vector<Chain>* chains) {
  uint64_t count = 0;
  (void)::read(wake_, &count, sizeof count);
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  chains->swap(queued_);
  return true;
}

std::vector<ProgramLauncher::Chain> ProgramLauncher::ReapEnded(std::vector<Running>& running,
                                                               const std::vector<short>& events) {
  // A program whose descriptor says it ended, or, without one, that has ended. Those started
  // after the wait have no events and are looked at in the next round.
  std::vector<Chain> failed;
  for (size_t i = events.size() - 1; i-- > 0;) {
    Running& r = running[i];
    const bool signalled = r.pidfd >= 0 && (events[i + 1] & (POLLIN | POLLHUP)) != 0;
    if (r.pidfd >= 0 && !signalled) continue;
    const std::optional<int> status = Reap(r.pid, signalled);
    if (!status) continue;
    if (r.pidfd >= 0) ::close(r.pidfd);
    if (*status != 0) failed.push_back(std::move(r.rest));
    running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return failed;
}

void ProgramLauncher::Loop() {
  // This thread may have been started by the executor: the programs are the desktop's.
  ResetCurrentThreadPriority();
  ::prctl(PR_SET_TIMERSLACK, DEFAULT_TIMER_SLACK_NS, 0, 0, 0);
  std::vector<Running> running;
  while (true) {
    const std::vector<short> events = WaitForEvents(wake_, running);
    if (events.empty()) break;
    if ((events[0] & POLLIN) != 0) {
      std::vector<Chain> chains;
      if (!TakeQueued(&chains)) break;
      for (Chain& chain : chains) StartNext(std::move(chain), running);
    }
    for (Chain& chain : ReapEnded(running, events)) StartNext(std::move(chain), running);
  }
  for (const Running& r : running) {
    if (r.pidfd >= 0) ::close(r.pidfd);
  }
}

}  // namespace kr450
