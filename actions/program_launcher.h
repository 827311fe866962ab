#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kr450 {

// A program and its arguments; [0] is the program's full path.
using CommandLine = std::vector<std::string>;

// Starts programs for the desktop in the background and reaps them, with one thread for all of
// them however many run: it waits on their process descriptors, not in a waitpid per program.
// A chain of commands is tried in order until one exits with status 0 (the fallbacks of the
// lock and of the file manager); a program that stays open is reaped when it ends. The thread
// runs at normal scheduling and starts every program itself, so that nothing a raised caller
// has (real-time policy, nice value, tight timer slack) reaches the programs. Programs are
// started without a shell, in a session of their own (the Ctrl+C that ends the driver does not
// reach them), with no signal blocked and none of the driver's files or output.
//
// Launch() is called from any thread and returns at once. The thread starts with the first
// launch and ends with the object; programs still running then are left to run, and are
// reaped by init only after the driver has ended: hence the one launcher of the process.
class ProgramLauncher {
 public:
  // The launcher of the process, which lives until it ends.
  static ProgramLauncher& Shared();

  ProgramLauncher() = default;
  ~ProgramLauncher();
  ProgramLauncher(const ProgramLauncher&) = delete;
  ProgramLauncher& operator=(const ProgramLauncher&) = delete;

  // Queues the chain; false when it is empty or the launcher cannot run.
  bool Launch(std::vector<CommandLine> chain);

 private:
  struct Chain {
    std::vector<CommandLine> commands;
    size_t next = 0;  // the command to start next
  };
  struct Running;

  void Loop();
  // The steps of Loop(). Waits for the wake-up or for a running program's end: the events of
  // each descriptor, the wake-up's first; nothing when the wait failed.
  static std::vector<short> WaitForEvents(int wake, const std::vector<Running>& running);
  // Empties the wake-up and takes the queued chains; false once the stop was asked.
  bool TakeQueued(std::vector<Chain>* chains);
  // Reaps the waited-on programs that ended: the rest of the chain of each that failed.
  static std::vector<Chain> ReapEnded(std::vector<Running>& running,
                                      const std::vector<short>& events);
  // Starts the chain's next command that can be started; false when none is left.
  static bool StartNext(Chain chain, std::vector<Running>& running);

  std::mutex mutex_;
  std::vector<Chain> queued_;
  bool stopping_ = false;
  int wake_ = -1;  // eventfd: new chains or the stop
  std::thread thread_;
};

}  // namespace kr450
