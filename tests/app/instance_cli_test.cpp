#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/instance_client.h"
#include "app/instance_paths.h"
#include "app/instance_protocol.h"
#include "tests/app/child_process.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

// kr450-cli's drivers meet each other and the window's guard, in a runtime folder of the
// test's own.
class CliInstanceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    for (const test::ScratchDir* dir : {&data_, &otherData_}) {
      test::CopyShippedData(*dir, {"config.ini", "Macro.dat"});
    }
  }
  void TearDown() override {
    saved_ ? ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  }

  // `kr450-cli --simulate --input record --data DIR run` in a process of its own, once it
  // drives.
  static std::unique_ptr<test::ChildProcess> StartSimulatedRun(const test::ScratchDir& dir) {
    auto driver = std::make_unique<test::ChildProcess>(
        std::vector<std::string>{std::string(KR450_BIN_DIR) + "/kr450-cli", "--simulate", "--input",
                                 "record", "--data", dir.path().string(), "run"});
    EXPECT_TRUE(driver->ReadLineStartingWith("kr450-cli: driver running").has_value());
    return driver;
  }

  test::ScratchDir runtime_, data_, otherData_;
  std::optional<std::string> saved_;
};

TEST_F(CliInstanceTest, ASecondDriverOnOneDataFolderSaysWhatRunsAndLeavesTheMouseAlone) {
  auto first = StartSimulatedRun(data_);
  const std::string config = test::ReadFileBytes(data_.File("config.ini"));
  for (const char* command : {"run", "sim"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> args = {"--simulate", "--trace", "--input", "record", command};
    if (std::string(command) == "sim") args.insert(args.end(), {"click", "6"});
    test::CliResult second = test::RunCliWithData(data_.path().string(), args);
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err,
              "kr450-cli: a simulated KR-450 driver is already running on this data folder "
              "(kr450-cli run); not starting a second one\n");
    EXPECT_EQ(second.out, "");  // no report sent, no pointer speed set
  }
  EXPECT_EQ(test::ReadFileBytes(data_.File("config.ini")), config);
  // A window started on this folder learns that the driver there has none to show.
  EXPECT_EQ(RequestRestore(SimulatedInstanceKey(data_.path().string())), "busy kr450-cli run");

  first->Signal(SIGTERM);
  EXPECT_EQ(first->Wait(), 0);
  test::CliResult after = test::RunCliWithData(
      data_.path().string(), {"--simulate", "--input", "record", "sim", "click", "6"});
  EXPECT_EQ(after.status, 0) << after.err;
}

TEST_F(CliInstanceTest, SimulatedDriversOnDifferentFoldersRunSideBySide) {
  auto first = StartSimulatedRun(data_);
  test::CliResult other = test::RunCliWithData(
      otherData_.path().string(), {"--simulate", "--input", "record", "sim", "click", "6"});
  EXPECT_EQ(other.status, 0) << other.err;
  EXPECT_EQ(RequestRestore(SimulatedInstanceKey(data_.path().string())), "busy kr450-cli run");
}

TEST_F(CliInstanceTest, TheRealDriverIsNotStartedBesideTheWindow) {
  test::ChildProcess window({std::string(KR450_BIN_DIR) + "/kr450_instance_helper",
                             std::string(DRIVER_INSTANCE_KEY), "kr450 window"});
  ASSERT_EQ(window.ReadLine(), "primary");
  test::CliResult run = test::RunCliWithData(data_.path().string(), {"--input", "record", "run"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "kr450-cli: a KR-450 driver is already running (kr450 window); not starting a "
            "second one\n");
  // The simulated mouse is not the real one: it runs beside the window.
  test::CliResult sim = test::RunCliWithData(
      data_.path().string(), {"--simulate", "--input", "record", "sim", "click", "6"});
  EXPECT_EQ(sim.status, 0) << sim.err;
}

}  // namespace
}  // namespace kr450
