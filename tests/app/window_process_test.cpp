// One driver per user with the real programs: a second window start on the same data folder
// shows the first and ends, one on another folder runs beside it, the window and kr450-cli's
// drivers refuse each other, and a killed window leaves nothing that blocks the next start.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/app/child_process.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

using test::ChildProcess;

// Reads the child's output until a line starts with `prefix`; every line read stays in *seen.
bool ReadUntil(ChildProcess& child, const std::string& prefix, std::string* seen = nullptr) {
  for (std::optional<std::string> line; (line = child.ReadLine());) {
    if (seen != nullptr) *seen += *line + "\n";
    if (line->starts_with(prefix)) return true;
  }
  return false;
}

// All the output until the child ends, and its status.
struct Ended {
  int status;
  std::string output;
};
Ended RunToEnd(ChildProcess& child) {
  Ended ended{0, ""};
  while (std::optional<std::string> line = child.ReadLine(std::chrono::seconds(20))) {
    ended.output += *line + "\n";
  }
  ended.status = child.Wait();
  return ended;
}

class WindowInstanceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    // The windows need no screen; their synthesised input goes to the test's own display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const test::ScratchDir* dir : {&data_, &otherData_}) {
      test::CopyShippedData(*dir, {"config.ini", "Macro.dat"});
    }
  }
  void TearDown() override {
    saved_ ? ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  }

  static std::unique_ptr<ChildProcess> Window(const test::ScratchDir& dir, bool trace = true) {
    std::vector<std::string> argv = {std::string(KR450_BIN_DIR) + "/kr450", "--simulate", "--data",
                                     dir.path().string()};
    if (trace) argv.emplace_back("--trace");
    return std::make_unique<ChildProcess>(argv);
  }
  // A window that has run its start-up.
  static std::unique_ptr<ChildProcess> RunningWindow(const test::ScratchDir& dir) {
    auto window = Window(dir);
    std::string seen;
    EXPECT_TRUE(ReadUntil(*window, "startup apply", &seen)) << seen;
    return window;
  }

  test::ScratchDir runtime_, data_, otherData_;
  std::optional<std::string> saved_;
};

TEST_F(WindowInstanceTest, ASecondStartOnTheSameFolderShowsTheFirstAndEnds) {
  auto first = RunningWindow(data_);
  auto second = Window(data_, /*trace=*/false);
  const Ended ended = RunToEnd(*second);
  EXPECT_EQ(ended.status, 0) << ended.output;
  EXPECT_EQ(ended.output, "");
  std::string seen;
  EXPECT_TRUE(ReadUntil(*first, "restore", &seen)) << seen;
  // The first goes on: a third start is answered the same way.
  auto third = Window(data_, /*trace=*/false);
  EXPECT_EQ(RunToEnd(*third).status, 0);
}

TEST_F(WindowInstanceTest, WindowsOnDifferentFoldersRunSideBySide) {
  auto first = RunningWindow(data_);
  auto other = RunningWindow(otherData_);
  ::usleep(200 * 1000);
  for (ChildProcess* child : {first.get(), other.get()}) {
    EXPECT_EQ(::waitpid(child->pid(), nullptr, WNOHANG), 0) << "ended early";
  }
}

TEST_F(WindowInstanceTest, KrCliRefusesToDriveBesideTheWindow) {
  auto window = RunningWindow(data_);
  for (const char* command : {"run", "sim"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> args = {"--simulate", "--trace", "--input", "record", command};
    if (std::string(command) == "sim") args.insert(args.end(), {"click", "6"});
    const test::CliResult cli = test::RunCliWithData(data_.path().string(), args);
    EXPECT_EQ(cli.status, 1);
    EXPECT_EQ(cli.err,
              "kr450-cli: a simulated KR-450 driver is already running on this data folder "
              "(kr450 window); not starting a second one\n");
    EXPECT_EQ(cli.out, "");  // nothing sent to the mouse
  }
}

TEST_F(WindowInstanceTest, TheWindowRefusesToStartBesideKrCliRun) {
  ChildProcess driver({std::string(KR450_BIN_DIR) + "/kr450-cli", "--simulate", "--input", "record",
                       "--data", data_.path().string(), "run"});
  ASSERT_TRUE(driver.ReadLineStartingWith("kr450-cli: driver running").has_value());
  auto window = Window(data_);
  const Ended ended = RunToEnd(*window);
  EXPECT_EQ(ended.status, 1);
  EXPECT_NE(ended.output.find("a KR-450 driver is already running (kr450-cli run)"),
            std::string::npos)
      << ended.output;
  EXPECT_EQ(ended.output.find("startup"), std::string::npos) << ended.output;
  driver.Signal(SIGTERM);
  EXPECT_EQ(driver.Wait(), 0);
}

TEST_F(WindowInstanceTest, AKilledWindowDoesNotBlockTheNextStart) {
  auto killed = RunningWindow(data_);
  killed->Signal(SIGKILL);
  EXPECT_EQ(killed->Wait(), 128 + SIGKILL);
  auto next = RunningWindow(data_);
  // It holds the guard itself: a further start is sent to it.
  auto second = Window(data_, /*trace=*/false);
  EXPECT_EQ(RunToEnd(*second).status, 0);
  EXPECT_TRUE(ReadUntil(*next, "restore"));
}

}  // namespace
}  // namespace kr450
