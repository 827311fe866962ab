#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace kr450 {

// The two workers that turn a press of the mouse into input. On a desktop a game may keep every
// processor busy; these must still run within a fraction of a millisecond.
enum class Worker { InputReader, ActionExecutor };

// How a worker thread ended up being scheduled.
struct WorkerScheduling {
  enum class Kind { Normal, Nice, RealTime };
  enum class Via { Nothing, Directly, RealtimeKit };

  Kind kind = Kind::Normal;
  Via via = Via::Nothing;
  bool roundRobin = true;    // real-time: SCHED_RR, else SCHED_FIFO
  int realtimePriority = 0;  // real-time: 1..99
  int nice = 0;
  int threadId = 0;
  bool demoted = false;  // was real-time, then ran too long without a pause (see below)
  std::string refused;   // what was refused on the way, in a few words; empty when nothing

  bool Raised() const { return kind != Kind::Normal; }
};

// "real-time, round-robin priority 10 (set directly)", "nice -5 (granted by RealtimeKit;
// real-time: ...)", "normal (...)".
std::string DescribeScheduling(const WorkerScheduling& scheduling);

struct SchedulingRequest {
  int realtimePriority = 10;  // modest: below RealtimeKit's ceiling (20) and the audio servers'
  int nice = -5;
  // The whole exchange with the system bus, connection included. A bus that does not answer
  // costs the worker this much once, at its start; nothing waits for it.
  std::chrono::milliseconds busTimeout{200};
  bool tightTimerSlack = false;  // the thread's timed sleeps end within 1 µs of their deadline
};

// Asks for prompt scheduling of the calling thread, the way desktop audio does, and records
// the outcome for WorkerSchedulingOf(worker). In order:
//   1. real-time (SCHED_RR at request.realtimePriority) directly, where the process may (root,
//      CAP_SYS_NICE or an RLIMIT_RTPRIO that allows it);
//   2. RealtimeKit on the system bus (DBUS_SYSTEM_BUS_ADDRESS, or the standard socket):
//      MakeThreadRealtime, then MakeThreadHighPriority with request.nice;
//   3. request.nice directly;
// else the thread stays as it is. Before asking for real-time the process's RLIMIT_RTTIME is
// lowered to 100 ms soft / 200 ms hard (RealtimeKit insists on it), and a SIGXCPU handler is put
// in place (unless the program has its own): a real-time worker that runs 100 ms without a
// pause, such as a macro without delays, is demoted to normal scheduling instead of the kernel
// killing the driver at 200 ms. Threads started from the worker begin at normal scheduling.
WorkerScheduling ScheduleCurrentThreadPromptly(Worker worker,
                                               const SchedulingRequest& request = {});

// Puts the calling thread back to normal scheduling: SCHED_OTHER and nice 0, or the process's
// own nice value when the driver was started below normal. For threads that start programs
// for the desktop. False when the thread could not be lowered.
bool ResetCurrentThreadScheduling();

// What `worker` got at its latest start that has been decided. Waits up to `wait` for a
// worker that was just started or is still asking; nullopt when no start of the worker has
// been decided in this process within `wait`.
std::optional<WorkerScheduling> WorkerSchedulingOf(Worker worker,
                                                   std::chrono::milliseconds wait = {});

// One line for a trace or the probe: "input reader scheduling: real-time, round-robin priority
// 10 (set directly)", "action executor scheduling: not started".
std::string WorkerSchedulingLine(Worker worker, std::chrono::milliseconds wait = {});

}  // namespace kr450
