// The window program as a user meets it, on a private X server (Xvfb), each figure beside its
// baseline measured in the same run: the time from exec to the first paint of
// `kr450 --simulate`, the resident memory of the running window, and the wake-ups per second
// of the whole process while the main page shows with nothing to animate. The baseline is a
// bare Qt window that shows one JPEG.
//
//   bench_window [--runs N] [--seconds S]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/child_process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using kr450::test::ChildProcess;

const std::string BIN_DIR = KR450_BIN_DIR;

std::string MakeTempDir() {
  std::string pattern = (fs::temp_directory_path() / "kr450-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  return pattern;
}

// A private X server for the whole run; its display number comes back on a pipe.
class PrivateXServer {
 public:
  PrivateXServer() {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    // The number and its line end may come in separate writes; the pipe stays open until the
    // line end, or the server fails writing it.
    std::string number;
    for (char c; ::read(fds[0], &c, 1) == 1 && c != '\n';) number.push_back(c);
    ::close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~PrivateXServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A started program and the time from its exec to the line that says it painted.
struct Started {
  std::unique_ptr<ChildProcess> process;
  std::optional<double> firstPaintMs;
};

Started StartAndWaitForPaint(std::vector<std::string> argv, const std::string& paintedPrefix) {
  Started started;
  const Clock::time_point before = Clock::now();
  started.process = std::make_unique<ChildProcess>(std::move(argv));
  for (std::optional<std::string> line; (line = started.process->ReadLine());) {
    if (line->starts_with(paintedPrefix)) {
      started.firstPaintMs =
          std::chrono::duration<double, std::milli>(Clock::now() - before).count();
      break;
    }
  }
  return started;
}

// A line "Key:   value kB" of /proc/PID/status, as a number.
long StatusField(const std::string& statusFile, const std::string& key) {
  std::ifstream in(statusFile);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(key + ":")) return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
  }
  return -1;
}

struct ThreadSwitches {
  std::string name;
  long switches = 0;
};

// Context switches (voluntary and involuntary) of every thread of a process, by thread id.
std::map<std::string, ThreadSwitches> Switches(pid_t pid) {
  std::map<std::string, ThreadSwitches> threads;
  const std::string taskDir = "/proc/" + std::to_string(pid) + "/task";
  std::error_code ec;
  for (const fs::directory_entry& task : fs::directory_iterator(taskDir, ec)) {
    const std::string status = task.path().string() + "/status";
    ThreadSwitches t;
    std::ifstream(task.path().string() + "/comm") >> t.name;
    t.switches = StatusField(status, "voluntary_ctxt_switches") +
                 StatusField(status, "nonvoluntary_ctxt_switches");
    threads[task.path().filename().string()] = t;
  }
  return threads;
}

struct Idle {
  double perSecond = 0;
  std::vector<std::string> busiest;  // "name tid: n/s"
};

Idle MeasureIdleWakeups(pid_t pid, int seconds) {
  const auto before = Switches(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto after = Switches(pid);
  Idle idle;
  long total = 0;
  std::vector<std::pair<long, std::string>> byThread;
  for (const auto& [tid, t] : after) {
    const auto old = before.find(tid);
    const long delta = t.switches - (old == before.end() ? 0 : old->second.switches);
    total += delta;
    if (delta > 0) byThread.emplace_back(delta, t.name + " " + tid);
  }
  std::sort(byThread.rbegin(), byThread.rend());
  for (const auto& [delta, name] : byThread) {
    char text[128];
    std::snprintf(text, sizeof text, "%s: %.1f/s", name.c_str(),
                  static_cast<double>(delta) / seconds);
    idle.busiest.emplace_back(text);
  }
  idle.perSecond = static_cast<double>(total) / seconds;
  return idle;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A data folder whose configuration leaves the driver nothing to do at start: no button has a
// function the driver performs, so no click prompt blinks.
std::string QuietDataFolder() {
  std::string dir = MakeTempDir();
  fs::copy_file(fs::path(KR450_SOURCE_DIR) / "data" / "Macro.dat", fs::path(dir) / "Macro.dat");
  std::ifstream in(fs::path(KR450_SOURCE_DIR) / "data" / "config.ini");
  std::ostringstream text;
  text << in.rdbuf();
  std::string config = text.str();
  // Config1 is the current one; its K6 (DPI cycle) is the one button the driver performs.
  const size_t section = config.find("[Config1]");
  const size_t k6 = config.find("K6=", section);
  if (section == std::string::npos || k6 == std::string::npos) {
    std::fprintf(stderr, "bench_window: the shipped config.ini has no Config1 K6\n");
    std::exit(1);
  }
  config.replace(k6, config.find('\n', k6) - k6, "K6=3");
  std::ofstream(fs::path(dir) / "config.ini") << config;
  return dir;
}

void PrintRow(const char* what, double value, double baseline, const char* unit, const char* goal) {
  std::printf("%-34s %10.1f %-4s %10.1f %-4s   %s\n", what, value, unit, baseline, unit, goal);
}

void PrintRuns(const char* title, const std::vector<double>& runs) {
  std::printf("%s", title);
  for (double ms : runs) std::printf(" %.1f", ms);
  std::printf("\n");
}

void PrintThreads(const char* title, const Idle& idle) {
  std::printf("%s\n", title);
  for (const std::string& line : idle.busiest) std::printf("  %s\n", line.c_str());
  if (idle.busiest.empty()) std::printf("  none\n");
}

struct Options {
  int runs = 5;
  int seconds = 10;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::max(1, static_cast<int>(std::strtol(argv[i + 1], nullptr, 10)));
    if (std::strcmp(argv[i], "--runs") == 0) options.runs = value;
    if (std::strcmp(argv[i], "--seconds") == 0) options.seconds = value;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto [runs, seconds] = ParseOptions(argc, argv);
  PrivateXServer x;
  if (x.display().empty()) {
    std::fprintf(stderr, "bench_window: Xvfb did not start\n");
    return 1;
  }
  ::setenv("DISPLAY", x.display().c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  const std::string runtime = MakeTempDir();
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const std::string picture = std::string(KR450_SOURCE_DIR) + "/data/skins/main_normal.jpg";

  std::vector<double> windowMs, baselineMs;
  Started window, baseline;
  // The runs alternate, so that a busy machine weighs on both alike. The last of each stays for
  // the memory and the wake-ups.
  for (int run = 0; run < runs; ++run) {
    const bool last = run == runs - 1;
    const std::string data = QuietDataFolder();
    Started w = StartAndWaitForPaint({BIN_DIR + "/kr450", "--simulate", "--trace", "--data", data},
                                     "painted");
    Started b = StartAndWaitForPaint({BIN_DIR + "/bench_window_baseline", picture}, "painted");
    if (!w.firstPaintMs || !b.firstPaintMs) {
      std::fprintf(stderr, "bench_window: %s did not paint\n",
                   w.firstPaintMs ? "baseline" : "kr450");
      return 1;
    }
    windowMs.push_back(*w.firstPaintMs);
    baselineMs.push_back(*b.firstPaintMs);
    if (last) {
      window = std::move(w);
      baseline = std::move(b);
    } else {
      w.process.reset();
      b.process.reset();
      fs::remove_all(data);
    }
  }

  // Settle: the start-up's last repaints and the first apply's prompt are done.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const auto rssMiB = [](pid_t pid) {
    return static_cast<double>(StatusField("/proc/" + std::to_string(pid) + "/status", "VmRSS")) /
           1024.0;
  };
  const double windowRss = rssMiB(window.process->pid());
  const double baselineRss = rssMiB(baseline.process->pid());
  const Idle windowIdle = MeasureIdleWakeups(window.process->pid(), seconds);
  const Idle baselineIdle = MeasureIdleWakeups(baseline.process->pid(), seconds);

  std::printf("%-34s %15s %15s   %s\n", "", "kr450", "bare Qt + JPEG", "goal");
  PrintRow("exec to first paint (median)", Median(windowMs), Median(baselineMs), "ms", "< 200 ms");
  PrintRow("resident memory (VmRSS)", windowRss, baselineRss, "MiB", "< 50 MiB");
  PrintRow("wake-ups, main page at rest", windowIdle.perSecond, baselineIdle.perSecond, "/s",
           "0 /s");
  PrintRuns("start-up runs (ms), kr450:", windowMs);
  PrintRuns("start-up runs (ms), baseline:", baselineMs);
  PrintThreads("kr450 threads that woke at rest:", windowIdle);
  PrintThreads("baseline threads that woke at rest:", baselineIdle);
  return 0;
}
