#include "actions/shell_operations.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "device/worker_scheduling.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

namespace fs = std::filesystem;

// Folders of fake programs: each writes its name and arguments to a log and exits as told.
class ShellOperationsTest : public ::testing::Test {
 protected:
  ShellOperationsTest() {
    fs::create_directories(root_.path() / "a");
    fs::create_directories(root_.path() / "b");
  }

  // `logged` is the shell text of what it logs after its name: its arguments by default.
  void FakeProgram(const std::string& folder, const std::string& name, int exitStatus = 0,
                   const std::string& logged = "$*") {
    fs::path path = root_.path() / folder / name;
    std::ofstream(path) << "#!/bin/sh\necho \"" << name << " " << logged << "\" >> '" << Log()
                        << "'\nexit " << exitStatus << "\n";
    fs::permissions(path, fs::perms::owner_all);
  }
  std::string Path() const { return root_.File("a") + "::" + root_.File("b"); }
  std::string Log() const { return root_.File("log"); }

  // The log once `lines` lines are in it (programs run in the background).
  std::string WaitForLog(int lines) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string text;
    while (std::chrono::steady_clock::now() < until) {
      text = test::ReadFileBytes(Log());
      if (std::count(text.begin(), text.end(), '\n') >= lines) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return text;
  }

  test::ScratchDir root_;
};

TEST_F(ShellOperationsTest, FindsTheFirstCandidateOnPath) {
  FakeProgram("b", "xterm");
  FakeProgram("b", "konsole");
  FakeProgram("a", "xterm");
  std::ofstream(root_.path() / "a" / "konsole") << "not executable";
  fs::create_directories(root_.path() / "a" / "kitty");  // a folder, not a program
  std::string path = Path();
  EXPECT_EQ(FindFirstOnPath({"kitty", "konsole", "xterm"}, path),
            (root_.path() / "b" / "konsole").string());
  EXPECT_EQ(FindFirstOnPath({"xterm"}, path), (root_.path() / "a" / "xterm").string());
  EXPECT_EQ(FindFirstOnPath({"missing"}, path), "");
  EXPECT_EQ(FindFirstOnPath({"xterm"}, ""), "");
  EXPECT_EQ(TerminalCandidates().front(), "x-terminal-emulator");
}

TEST_F(ShellOperationsTest, StartsTheDebianTerminalFirstWithoutAShell) {
  FakeProgram("a", "xterm");
  FakeProgram("b", "x-terminal-emulator");
  FakeProgram("a", "xcalc");
  ShellOperations shell(Path(), "/home/u");
  EXPECT_TRUE(shell.StartProgram(Program::Terminal));
  EXPECT_EQ(WaitForLog(1), "x-terminal-emulator \n");
  EXPECT_TRUE(shell.StartProgram(Program::Calculator));
  EXPECT_EQ(WaitForLog(2), "x-terminal-emulator \nxcalc \n");
  ShellOperations empty(root_.File("none"), "/home/u");
  EXPECT_FALSE(empty.StartProgram(Program::Terminal));
}

TEST_F(ShellOperationsTest, LockFallsBackToTheScreenLockerWhenLogindFails) {
  FakeProgram("a", "loginctl", 1);
  FakeProgram("a", "xdg-screensaver");
  FakeProgram("a", "xscreensaver-command");
  ShellOperations shell(Path(), "/home/u");
  EXPECT_TRUE(shell.LockSession());
  EXPECT_EQ(WaitForLog(2), "loginctl lock-session\nxdg-screensaver lock\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(WaitForLog(2), "loginctl lock-session\nxdg-screensaver lock\n");  // no third
}

TEST_F(ShellOperationsTest, ComputerViewFallsBackToTheHomeFolder) {
  FakeProgram("a", "gio", 2);
  FakeProgram("b", "xdg-open");
  ShellOperations shell(Path(), "/home/u");
  EXPECT_TRUE(shell.OpenComputer());
  EXPECT_EQ(WaitForLog(2), "gio open computer:///\nxdg-open /home/u\n");
  ShellOperations none(root_.File("none"), "/home/u");
  EXPECT_FALSE(none.OpenComputer());
  EXPECT_FALSE(none.LockSession());
}

size_t ThreadCount() {
  return static_cast<size_t>(
      std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

// This process's children that have ended and wait to be reaped.
std::vector<std::string> Zombies() {
  std::vector<std::string> zombies;
  const std::string self = std::to_string(::getpid());
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string stat = test::ReadFileBytes((entry.path() / "stat").string());
    size_t close = stat.rfind(')');  // after the name, which may hold anything
    if (close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 1));
    std::string state, parent;
    rest >> state >> parent;
    if (parent == self && state == "Z") zombies.push_back(entry.path().filename().string());
  }
  return zombies;
}

// Programs that stay open keep no thread each waiting on them: one launcher thread serves them
// all, however many run, and reaps each as it ends.
TEST_F(ShellOperationsTest, StartedProgramsShareOneThreadAndLeaveNoZombie) {
  fs::path program = root_.path() / "a" / "xcalc";
  std::ofstream(program) << "#!/bin/sh\necho started >> '" << Log()
                         << "'\nsleep 0.3\necho ended >> '" << Log() << "'\n";
  fs::permissions(program, fs::perms::owner_all);
  const size_t before = ThreadCount();
  ShellOperations shell(Path(), "/home/u");
  ASSERT_TRUE(shell.StartProgram(Program::Calculator));
  const size_t withLauncher = ThreadCount();
  EXPECT_LE(withLauncher, before + 1);
  constexpr int N = 5;
  for (int i = 1; i < N; ++i) ASSERT_TRUE(shell.StartProgram(Program::Calculator));
  WaitForLog(N);  // all of them run
  EXPECT_EQ(ThreadCount(), withLauncher);
  WaitForLog(2 * N);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!Zombies().empty() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Zombies(), std::vector<std::string>{});
  EXPECT_EQ(ThreadCount(), withLauncher);
}

// The executor runs real-time or at a raised nice value; the programs it starts for the
// desktop must inherit neither. Each logs its nice value and its policy (0: normal).
TEST_F(ShellOperationsTest, ProgramsRunAtNormalPriorityWhateverTheCallers) {
  if (::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid())) != 0) {
    GTEST_SKIP() << "the test runs below or above normal priority";
  }
  for (const char* name : {"x-terminal-emulator", "xcalc", "loginctl", "gio"}) {
    FakeProgram("a", name, 0, "$(nice) $(cut -d' ' -f41 /proc/$$/stat)");
  }
  ShellOperations shell(Path(), "/home/u");
  bool raised = false;
  std::thread executor([&] {
    raised = ScheduleCurrentThreadPromptly(Worker::ActionExecutor).Raised();
    if (!raised) return;
    EXPECT_TRUE(shell.StartProgram(Program::Terminal));
    EXPECT_TRUE(shell.StartProgram(Program::Calculator));
    EXPECT_TRUE(shell.LockSession());
    EXPECT_TRUE(shell.OpenComputer());
  });
  executor.join();
  if (!raised) GTEST_SKIP() << "no right to raise a thread's priority here";
  std::istringstream log(WaitForLog(4));
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());  // each runs in the background, in any order
  EXPECT_EQ(lines, (std::vector<std::string>{"gio 0 0", "loginctl 0 0", "x-terminal-emulator 0 0",
                                             "xcalc 0 0"}));
}

}  // namespace
}  // namespace kr450
