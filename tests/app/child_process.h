#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace kr450::test {

// A program started with its stdout and stderr on one pipe and its stdin on another, for
// tests that need a second process.
class ChildProcess {
 public:
  explicit ChildProcess(std::vector<std::string> argv) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return;
    if (::pipe2(out, O_CLOEXEC) != 0) {
      ::close(in[0]);
      ::close(in[1]);
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    // The test may block signals in its threads; the child starts with none blocked.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    std::vector<char*> args;
    for (std::string& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);
    if (::posix_spawn(&pid_, args[0], &actions, &attributes, args.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    stdin_ = in[1];
    output_ = out[0];
  }

  ~ChildProcess() {
    CloseStdin();
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    if (output_ >= 0) ::close(output_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // The next line of its output, without the line end; nullopt when none comes in time.
  std::optional<std::string> ReadLine(
      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      if (size_t end = pending_.find('\n'); end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd readable{output_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
        return std::nullopt;
      }
      char buffer[256];
      const ssize_t got = ::read(output_, buffer, sizeof buffer);
      if (got <= 0) return std::nullopt;
      pending_.append(buffer, static_cast<size_t>(got));
    }
  }

  // Reads lines until one starts with `prefix`; that line, or nullopt.
  std::optional<std::string> ReadLineStartingWith(const std::string& prefix) {
    for (std::optional<std::string> line; (line = ReadLine());) {
      if (line->starts_with(prefix)) return line;
    }
    return std::nullopt;
  }

  void CloseStdin() {
    if (stdin_ >= 0) ::close(stdin_);
    stdin_ = -1;
  }
  void Signal(int signal) { ::kill(pid_, signal); }

  // Stops it and returns once every thread of it has stopped.
  bool Stop() {
    ::kill(pid_, SIGSTOP);
    int raw = 0;
    while (::waitpid(pid_, &raw, WUNTRACED) < 0) {
      if (errno != EINTR) return false;
    }
    return WIFSTOPPED(raw);
  }

  // The exit status, or 128 + the signal that ended it.
  int Wait() {
    if (status_) return *status_;
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return *status_;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int output_ = -1;
  std::string pending_;
  std::optional<int> status_;
};

// A program run to its end, with what it printed.
struct ToolResult {
  int status = -1;
  std::string out;
};

inline ToolResult RunTool(std::vector<std::string> argv) {
  ChildProcess child(std::move(argv));
  ToolResult result;
  while (std::optional<std::string> line = child.ReadLine(std::chrono::seconds(10))) {
    result.out += *line + "\n";
  }
  result.status = child.Wait();
  return result;
}

inline ToolResult Xdotool(std::vector<std::string> args) {
  args.insert(args.begin(), "/usr/bin/xdotool");
  return RunTool(std::move(args));
}

}  // namespace kr450::test
