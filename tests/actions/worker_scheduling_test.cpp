// Scheduling of the input reader and the action executor: real-time where the process may, the
// watchdog, RealtimeKit on a private system bus for an ordinary user, and a start that no
// missing or silent bus holds up. Cases that change users or start rtkit-daemon need root; they
// run their ordinary user's part in a child process.
#include "device/worker_scheduling.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <poll.h>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "actions/action_executor.h"
#include "actions/recording_input.h"
#include "device/device_link.h"
#include "device/input_reader.h"
#include "device/simulated_mouse.h"
#include "device/wakeable_clock.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

using namespace std::chrono_literals;

constexpr const char* RTKIT_DAEMON = "/usr/libexec/rtkit-daemon";

int PolicyOf(pid_t thread) {
  return ::sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK;
}

bool IsRoot() {
  return ::geteuid() == 0;
}

// What a child process printed and how it ended.
struct ChildResult {
  std::string out;
  int status = -1;
  bool Exited(int code) const { return WIFEXITED(status) && WEXITSTATUS(status) == code; }
};

// Runs `body` in a child process, as the ordinary user nobody when `asNobody`; what it writes
// to `out` comes back. The child has only the calling thread, so nothing it needs is locked.
ChildResult RunInChild(bool asNobody, const std::function<int(FILE* out)>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const passwd* nobody = ::getpwnam("nobody");
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    FILE* out = ::fdopen(fds[1], "w");
    if (asNobody && (nobody == nullptr || ::setgroups(0, nullptr) != 0 ||
                     ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) {
      std::fprintf(out, "could not become nobody");
      std::fflush(out);
      ::_exit(90);
    }
    const int code = body(out);
    std::fflush(out);
    ::_exit(code);
  }
  ::close(fds[1]);
  ChildResult result;
  char buffer[512];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) result.out.append(buffer, n);
  ::close(fds[0]);
  ::waitpid(pid, &result.status, 0);
  return result;
}

// A private system bus on an abstract socket (reachable after rtkit-daemon's chroot and by any
// user), where anyone may own any name.
class PrivateSystemBus {
 public:
  PrivateSystemBus() {
    std::ofstream(dir_.File("bus.conf"))
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>system</type>\n"
           "<listen>unix:abstract="
        << dir_.path().filename().string()
        << "</listen><auth>EXTERNAL</auth>\n"
           "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
           "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy>\n"
           "</busconfig>\n";
    const std::string command = "dbus-daemon --config-file='" + dir_.File("bus.conf") +
                                "' --fork --print-address=1 --print-pid=1 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (out == nullptr) return;
    char line[512];
    if (std::fgets(line, sizeof line, out)) address_ = std::string(line, std::strcspn(line, "\n"));
    if (std::fgets(line, sizeof line, out)) pid_ = std::atoi(line);
    ::pclose(out);
  }
  ~PrivateSystemBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  const std::string& address() const { return address_; }

  sd_bus* Connect() const {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) return nullptr;
    if (sd_bus_set_address(bus, address_.c_str()) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_start(bus) < 0) {
      sd_bus_unref(bus);
      return nullptr;
    }
    return bus;
  }

  // Whether `name` gets an owner within `wait`.
  bool WaitForName(const char* name, std::chrono::milliseconds wait) const {
    sd_bus* bus = Connect();
    if (bus == nullptr) return false;
    bool owned = false;
    for (auto until = std::chrono::steady_clock::now() + wait;
         !owned && std::chrono::steady_clock::now() < until;) {
      owned = sd_bus_get_name_creds(bus, name, 0, nullptr) >= 0;
      if (!owned) std::this_thread::sleep_for(20ms);
    }
    sd_bus_flush_close_unref(bus);
    return owned;
  }

 private:
  test::ScratchDir dir_;
  std::string address_;
  int pid_ = -1;
};

// Stands in for the desktop's polkit, which grants RealtimeKit's actions to the user of an
// active session: every CheckAuthorization is answered "authorized".
class GrantingAuthority {
 public:
  explicit GrantingAuthority(const PrivateSystemBus& bus) {
    bus_ = bus.Connect();
    if (bus_ == nullptr) return;
    if (sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/PolicyKit1/Authority",
                                 "org.freedesktop.PolicyKit1.Authority", VTABLE, this) < 0 ||
        sd_bus_request_name(bus_, "org.freedesktop.PolicyKit1", 0) < 0) {
      return;
    }
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { Serve(); });
  }
  ~GrantingAuthority() {
    if (thread_.joinable()) {
      const uint64_t one = 1;
      (void)!::write(stop_, &one, sizeof one);
      thread_.join();
      ::close(stop_);
    }
    if (bus_ != nullptr) sd_bus_flush_close_unref(bus_);
  }
  bool serving() const { return thread_.joinable(); }
  int checks() const { return checks_.load(); }

 private:
  static int OnCheck(sd_bus_message* call, void* self, sd_bus_error*) {
    static_cast<GrantingAuthority*>(self)->checks_.fetch_add(1);
    return sd_bus_reply_method_return(call, "(bba{ss})", 1, 0, 0);
  }
  static constexpr sd_bus_vtable VTABLE[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("CheckAuthorization", "(sa{sv})sa{ss}us", "(bba{ss})", OnCheck,
                    SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END};

  void Serve() {
    for (;;) {
      while (sd_bus_process(bus_, nullptr) > 0) {
      }
      pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(sd_bus_get_events(bus_)), 0},
                       {stop_, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents & POLLIN) return;
    }
  }

  sd_bus* bus_ = nullptr;
  int stop_ = -1;
  std::thread thread_;
  std::atomic<int> checks_{0};
};

// rtkit-daemon on the private bus. It starts as root and drops to its own user; its log goes
// to a pipe (it forbids itself to write files).
class RealtimeKitDaemon {
 public:
  explicit RealtimeKitDaemon(const PrivateSystemBus& bus) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[1], STDERR_FILENO);
      ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
      ::execl(RTKIT_DAEMON, RTKIT_DAEMON, "--stderr", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    log_ = fds[0];
    ::fcntl(log_, F_SETFL, O_NONBLOCK);
  }
  ~RealtimeKitDaemon() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
    if (log_ >= 0) ::close(log_);
  }
  std::string Log() {
    char buffer[1024];
    for (ssize_t n; (n = ::read(log_, buffer, sizeof buffer)) > 0;) log_text_.append(buffer, n);
    return log_text_;
  }

 private:
  pid_t pid_ = -1;
  int log_ = -1;
  std::string log_text_;
};

// The executor and the reader of a driver, with nothing plugged in.
struct Workers {
  DriverState state;
  MacroTable macros;
  SimulatedMouse mouse;
  RecordingInput input;
  NullWindowLink window;
  WakeableClock clock;
  DeviceLink link{state, mouse, input, window, clock};
  InputReader reader{state, link, window, clock};
  ActionExecutor executor{state, macros, link, input, window, clock};
  ~Workers() { clock.WakeAll(); }
};

TEST(WorkerScheduling, RealTimeWhereTheProcessMayAndNormalForTheThreadsItStarts) {
  WorkerScheduling got;
  int childPolicy = -1, childNice = -1;
  std::thread worker([&] {
    got = ScheduleCurrentThreadPromptly(Worker::ActionExecutor);
    std::thread([&] {
      childPolicy = PolicyOf(0);
      childNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    }).join();
  });
  worker.join();
  if (got.kind != WorkerScheduling::Kind::RealTime || got.via != WorkerScheduling::Via::Directly) {
    GTEST_SKIP() << "this process may not set real-time scheduling: " << DescribeScheduling(got);
  }
  EXPECT_EQ(got.realtimePriority, 10);
  EXPECT_TRUE(got.roundRobin);
  EXPECT_EQ(childPolicy, SCHED_OTHER);
  EXPECT_EQ(childNice, 0);
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_RTTIME, &limit), 0);
  EXPECT_LE(limit.rlim_max, 200000u);
  EXPECT_LT(limit.rlim_cur, limit.rlim_max);  // SIGXCPU comes before SIGKILL
  EXPECT_EQ(WorkerSchedulingLine(Worker::ActionExecutor),
            "action executor scheduling: real-time, round-robin priority 10 (set directly)");
}

// A real-time worker that never pauses (a macro without delays) must not get the driver
// killed at the hard limit: the watchdog demotes it. In a child, since failing kills it.
TEST(WorkerScheduling, ARealTimeWorkerThatNeverPausesIsDemotedNotKilled) {
  const ChildResult child = RunInChild(false, [](FILE* out) {
    int code = 0;
    std::thread([&] {
      WorkerScheduling got = ScheduleCurrentThreadPromptly(Worker::ActionExecutor);
      if (got.kind != WorkerScheduling::Kind::RealTime) {
        std::fprintf(out, "%s", DescribeScheduling(got).c_str());
        code = 77;
        return;
      }
      // Busy past the hard limit (200 ms) without a blocking call.
      for (auto until = std::chrono::steady_clock::now() + 400ms;
           std::chrono::steady_clock::now() < until;) {
      }
      std::fprintf(out, "policy %d; %s", PolicyOf(0),
                   WorkerSchedulingLine(Worker::ActionExecutor).c_str());
    }).join();
    return code;
  });
  if (child.Exited(77)) GTEST_SKIP() << "no real-time here: " << child.out;
  ASSERT_TRUE(WIFEXITED(child.status)) << "ended by signal " << WTERMSIG(child.status);
  EXPECT_EQ(
      child.out,
      "policy 0; action executor scheduling: normal (demoted from real-time after 100 ms on the "
      "processor without a pause)");
}

// A listening socket that never accepts: a bus that does not answer.
class SilentSocket {
 public:
  SilentSocket() {
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::all);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = dir_.File("bus");
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 4)) {
      return;
    }
    ::chmod(path.c_str(), 0777);
    address_ = "unix:path=" + path;
  }
  ~SilentSocket() { ::close(fd_); }
  const std::string& address() const { return address_; }

 private:
  test::ScratchDir dir_;
  int fd_ = -1;
  std::string address_;
};

// Without RealtimeKit the worker starts within the bus timeout and says why it stayed normal.
TEST(WorkerScheduling, NoBusNoRealtimeKitOrASilentBusCostsAtMostTheTimeout) {
  if (!IsRoot()) GTEST_SKIP() << "needs root to run the case as an ordinary user";
  PrivateSystemBus emptyBus;
  SilentSocket silent;
  const struct {
    std::string address;
    std::string why;
  } cases[] = {
      {"unix:path=/nonexistent/kr450-bus", "no system bus (No such file or directory)"},
      {emptyBus.address(), "RealtimeKit is not on the system bus"},
      {silent.address(), "the system bus did not answer in time"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    if (c.address.empty()) continue;  // no dbus-daemon for the empty bus
    const ChildResult child = RunInChild(true, [&](FILE* out) {
      ::setenv("DBUS_SYSTEM_BUS_ADDRESS", c.address.c_str(), 1);
      const auto start = std::chrono::steady_clock::now();
      WorkerScheduling got;
      std::thread([&] {
        got = ScheduleCurrentThreadPromptly(Worker::InputReader, {.busTimeout = 200ms});
      }).join();
      const auto took = std::chrono::steady_clock::now() - start;
      std::fprintf(out, "%lld\n%s", static_cast<long long>(took / 1ms),
                   DescribeScheduling(got).c_str());
      return 0;
    });
    ASSERT_TRUE(child.Exited(0)) << child.out;
    const size_t newline = child.out.find('\n');
    EXPECT_LE(std::stoi(child.out.substr(0, newline)), 350);
    const std::string description = child.out.substr(newline + 1);
    EXPECT_TRUE(description.starts_with("normal (real-time directly: Operation not permitted; "))
        << description;
    EXPECT_NE(description.find(c.why), std::string::npos) << description;
  }
}

// The path an ordinary user's driver takes on a desktop: rtkit-daemon on the system bus makes
// the executor's and the reader's threads real-time.
TEST(RealtimeKit, MakesTheWorkersRealTimeForAnOrdinaryUser) {
  if (!std::filesystem::exists(RTKIT_DAEMON)) GTEST_SKIP() << "rtkit is not installed";
  if (!IsRoot()) GTEST_SKIP() << "rtkit-daemon must be started as root (it drops to user rtkit)";
  PrivateSystemBus bus;
  if (bus.address().empty()) GTEST_SKIP() << "dbus-daemon is not installed";
  GrantingAuthority authority(bus);
  ASSERT_TRUE(authority.serving());
  RealtimeKitDaemon daemon(bus);
  if (!bus.WaitForName("org.freedesktop.RealtimeKit1", 5s)) {
    const std::string log = daemon.Log();
    // It runs as user rtkit with a limit of 3 threads for that user: a system rtkit-daemon
    // already running leaves it none.
    const char* busy = log.find("pthread_create failed") != std::string::npos
                           ? " (another rtkit-daemon runs as user rtkit and holds its thread limit)"
                           : "";
    GTEST_SKIP() << "rtkit-daemon did not come up on the private bus" << busy << ": " << log;
  }

  const ChildResult child = RunInChild(true, [&](FILE* out) {
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
    Workers workers;
    workers.executor.Start();
    workers.reader.Start();
    for (Worker worker : {Worker::ActionExecutor, Worker::InputReader}) {
      std::optional<WorkerScheduling> got = WorkerSchedulingOf(worker, 5s);
      std::fprintf(out, "%d %s\n", got ? PolicyOf(got->threadId) : -1,
                   WorkerSchedulingLine(worker).c_str());
    }
    workers.executor.Stop();
    workers.reader.Stop();
    return 0;
  });
  ASSERT_TRUE(child.Exited(0)) << child.out;
  EXPECT_EQ(
      child.out,
      "2 action executor scheduling: real-time, round-robin priority 10 (granted by RealtimeKit; "
      "real-time directly: Operation not permitted)\n"
      "2 input reader scheduling: real-time, round-robin priority 10 (granted by RealtimeKit; "
      "real-time directly: Operation not permitted)\n")
      << "rtkit-daemon: " << daemon.Log();
  EXPECT_GE(authority.checks(), 2);
}

}  // namespace
}  // namespace kr450
