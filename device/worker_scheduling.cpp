// Scheduling of the workers: sched_setscheduler, nice values, RLIMIT_RTTIME, timer slack and
// the SIGXCPU watchdog. RealtimeKit is asked through RealtimeKitClient.
#include "device/worker_scheduling.h"

#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <mutex>

#include "config/errno_text.h"
#include "device/realtimekit_client.h"

namespace kr450 {
namespace {

constexpr int NORMAL_NICE = 0;
constexpr rlim_t RTTIME_SOFT_US = 100000;  // SIGXCPU: the watchdog demotes the thread
constexpr rlim_t RTTIME_HARD_US = 200000;  // SIGKILL; RealtimeKit's ceiling
constexpr unsigned long TIGHT_TIMER_SLACK_NS = 1000;
constexpr int WORKER_COUNT = 2;

// What each worker got, for WorkerSchedulingOf; the thread id and the demotion are atomics
// because the SIGXCPU handler reads and writes them.
struct Slot {
  std::mutex mutex;
  std::condition_variable decided;
  bool asking = false;
  std::optional<WorkerScheduling> result;
  pid_t resultProcess = 0;  // a child of fork() inherits the parent's answers, not its workers
  std::atomic<pid_t> realtimeThread{0};
  std::atomic<bool> demoted{false};
};

Slot slots[WORKER_COUNT];
// RealtimeKit allows each user 25 requests in 20 s, shared with the desktop's audio, and the
// answer of a missing or refusing RealtimeKit does not change: once it has said no or not
// answered, this process stops asking (a test program starts its workers again and again).
std::atomic<bool> realtimeKitGaveUp{false};

Slot& SlotOf(Worker worker) {
  return slots[static_cast<int>(worker)];
}

pid_t CurrentThread() {
  return ::gettid();
}

bool IsRealtimePolicy(int policy) {
  policy &= ~SCHED_RESET_ON_FORK;
  return policy == SCHED_RR || policy == SCHED_FIFO;
}

bool SetPolicy(pid_t thread, int policy, int priority) {
  sched_param param{};
  param.sched_priority = priority;
  // Threads the worker starts (a program starter, the prompt blinker) begin at normal
  // scheduling; once set, an ordinary user cannot clear the flag, so it is always passed.
  return ::sched_setscheduler(thread, policy | SCHED_RESET_ON_FORK, &param) == 0;
}

bool SetNice(pid_t thread, int nice) {
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice) == 0;
}

// The watchdog: the kernel sends SIGXCPU to the process when a real-time thread has run
// RTTIME_SOFT_US without blocking, and SIGKILL at the hard limit. The signal is delivered to
// the thread that ran too long, so that thread is demoted; otherwise every real-time worker.
// Only async-signal-safe calls (system calls and lock-free atomics) here.
void OnRealtimeBudgetSpent(int) {
  const int savedErrno = errno;
  const pid_t self = CurrentThread();
  const bool selfRealtime = IsRealtimePolicy(::sched_getscheduler(0));
  if (selfRealtime) SetPolicy(self, SCHED_OTHER, 0);
  for (Slot& slot : slots) {
    const pid_t thread = slot.realtimeThread.load();
    if (thread == 0 || (selfRealtime && thread != self)) continue;
    if (thread == self || SetPolicy(thread, SCHED_OTHER, 0)) slot.demoted.store(true);
  }
  // The kernel raised the soft limit by a second; back under the hard limit, or the next
  // overrun would end in SIGKILL without a warning.
  rlimit limit{};
  if (::getrlimit(RLIMIT_RTTIME, &limit) == 0 && limit.rlim_max != RLIM_INFINITY) {
    limit.rlim_cur = std::min<rlim_t>(RTTIME_SOFT_US, limit.rlim_max / 2);
    ::setrlimit(RLIMIT_RTTIME, &limit);
  }
  errno = savedErrno;
}

// Checked at every request, not once: a program may have changed it in between.
void InstallWatchdog() {
  struct sigaction current {};
  if (::sigaction(SIGXCPU, nullptr, &current) != 0) return;
  // A handler of the program's own stays; an inherited "ignore" would let the kernel kill.
  if ((current.sa_flags & SA_SIGINFO) != 0 ||
      (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN)) {
    return;
  }
  struct sigaction watchdog {};
  watchdog.sa_handler = OnRealtimeBudgetSpent;
  sigemptyset(&watchdog.sa_mask);
  watchdog.sa_flags = SA_RESTART;
  ::sigaction(SIGXCPU, &watchdog, nullptr);
}

// Real-time threads must block within a bounded time (RealtimeKit checks the hard limit).
// Limits already lower are kept.
void LimitRealtimeRunTime() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_RTTIME, &limit) != 0) return;
  limit.rlim_max = std::min(limit.rlim_max, RTTIME_HARD_US);
  limit.rlim_cur = std::min({limit.rlim_cur, RTTIME_SOFT_US, limit.rlim_max / 2});
  ::setrlimit(RLIMIT_RTTIME, &limit);
}

// The calling thread's scheduling as the kernel has it now.
WorkerScheduling Observe() {
  WorkerScheduling s;
  s.threadId = CurrentThread();
  const int policy = ::sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(s.threadId));
  s.nice = errno == 0 ? nice : NORMAL_NICE;
  if (IsRealtimePolicy(policy)) {
    sched_param param{};
    ::sched_getparam(0, &param);
    s.kind = WorkerScheduling::Kind::RealTime;
    s.roundRobin = policy == SCHED_RR;
    s.realtimePriority = param.sched_priority;
  } else if (s.nice < NORMAL_NICE) {
    s.kind = WorkerScheduling::Kind::Nice;
  }
  return s;
}

void AddRefusal(std::string& refused, const std::string& what) {
  if (!refused.empty()) refused += "; ";
  refused += what;
}

WorkerScheduling Decide(const SchedulingRequest& request) {
  const pid_t self = CurrentThread();
  std::string refused;
  LimitRealtimeRunTime();
  InstallWatchdog();
  if (SetPolicy(self, SCHED_RR, request.realtimePriority)) {
    WorkerScheduling s = Observe();
    s.via = WorkerScheduling::Via::Directly;
    return s;
  }
  AddRefusal(refused, std::string("real-time directly: ") + ErrnoText(errno));

  if (!realtimeKitGaveUp.load()) {
    RealtimeKitClient realtimeKit(std::chrono::steady_clock::now() + request.busTimeout);
    RealtimeKitClient::Answer answer =
        realtimeKit.MakeThreadRealtime(self, static_cast<uint32_t>(request.realtimePriority));
    if (answer.reachable && !answer.granted) {
      AddRefusal(refused, "real-time: " + answer.refused);
      answer = realtimeKit.MakeThreadHighPriority(self, request.nice);
    }
    if (answer.granted) {
      WorkerScheduling s = Observe();
      s.via = WorkerScheduling::Via::RealtimeKit;
      s.refused = refused;
      return s;
    }
    AddRefusal(refused, answer.refused);
    realtimeKitGaveUp.store(true);
  } else {
    AddRefusal(refused, "RealtimeKit not asked again after its first refusal");
  }

  SetPolicy(self, SCHED_OTHER, 0);  // only for SCHED_RESET_ON_FORK: threads it starts begin at 0
  if (SetNice(self, request.nice)) {
    WorkerScheduling s = Observe();
    s.via = WorkerScheduling::Via::Directly;
    s.refused = refused;
    return s;
  }
  AddRefusal(refused,
             std::string("nice ") + std::to_string(request.nice) + ": " + ErrnoText(errno));
  WorkerScheduling s = Observe();
  s.refused = refused;
  return s;
}

std::string WorkerName(Worker worker) {
  return worker == Worker::InputReader ? "input reader" : "action executor";
}

}  // namespace

std::string DescribeScheduling(const WorkerScheduling& s) {
  if (s.demoted) {
    return "normal (demoted from real-time after " + std::to_string(RTTIME_SOFT_US / 1000) +
           " ms on the processor without a pause)";
  }
  std::string text;
  switch (s.kind) {
    case WorkerScheduling::Kind::RealTime:
      text = std::string("real-time, ") + (s.roundRobin ? "round-robin" : "first-in-first-out") +
             " priority " + std::to_string(s.realtimePriority);
      break;
    case WorkerScheduling::Kind::Nice:
      text = "nice " + std::to_string(s.nice);
      break;
    case WorkerScheduling::Kind::Normal:
      text = "normal";
      break;
  }
  std::string how;
  if (s.via == WorkerScheduling::Via::Directly) how = "set directly";
  if (s.via == WorkerScheduling::Via::RealtimeKit) how = "granted by RealtimeKit";
  if (!s.refused.empty()) how += (how.empty() ? "" : "; ") + s.refused;
  return how.empty() ? text : text + " (" + how + ")";
}

WorkerScheduling ScheduleCurrentThreadPromptly(Worker worker, const SchedulingRequest& request) {
  Slot& slot = SlotOf(worker);
  {
    std::lock_guard lock(slot.mutex);
    slot.asking = true;
    slot.realtimeThread.store(0);
    slot.demoted.store(false);
  }
  if (request.tightTimerSlack) ::prctl(PR_SET_TIMERSLACK, TIGHT_TIMER_SLACK_NS, 0, 0, 0);
  WorkerScheduling s = Decide(request);
  {
    std::lock_guard lock(slot.mutex);
    if (s.kind == WorkerScheduling::Kind::RealTime) slot.realtimeThread.store(s.threadId);
    slot.result = s;
    slot.resultProcess = ::getpid();
    slot.asking = false;
  }
  slot.decided.notify_all();
  return s;
}

bool ResetCurrentThreadScheduling() {
  bool ok = true;
  const int policy = ::sched_getscheduler(0);
  if (policy >= 0 && IsRealtimePolicy(policy)) ok = SetPolicy(CurrentThread(), SCHED_OTHER, 0);
  // The process id names the main thread, which never raises itself.
  errno = 0;
  int started = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
  if (errno != 0) started = NORMAL_NICE;
  return SetNice(CurrentThread(), std::max(NORMAL_NICE, started)) && ok;
}

std::optional<WorkerScheduling> WorkerSchedulingOf(Worker worker, std::chrono::milliseconds wait) {
  Slot& slot = SlotOf(worker);
  std::unique_lock lock(slot.mutex);
  // A worker just started may not have begun to ask yet: wait for an answer, not for the end
  // of a question.
  const pid_t process = ::getpid();
  auto answered = [&] { return !slot.asking && slot.result && slot.resultProcess == process; };
  if (!slot.decided.wait_for(lock, wait, answered)) return std::nullopt;
  WorkerScheduling s = *slot.result;
  s.demoted = s.kind == WorkerScheduling::Kind::RealTime && slot.demoted.load();
  return s;
}

std::string WorkerSchedulingLine(Worker worker, std::chrono::milliseconds wait) {
  const std::optional<WorkerScheduling> s = WorkerSchedulingOf(worker, wait);
  if (!s) return WorkerName(worker) + " scheduling: not started";
  return WorkerName(worker) + " scheduling: " + DescribeScheduling(*s);
}

}  // namespace kr450
