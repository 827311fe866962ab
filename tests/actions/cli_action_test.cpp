#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "app/cli.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;

struct CliRun {
  int status;
  std::vector<std::string> traced;  // trace lines without their times
  std::vector<std::string> sim;     // the sim step lines among them
  std::string out;
  std::string err;
};

class CliActions : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("kr450-cli-actions-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(KR450_SOURCE_DIR) / "data/config.ini", dir_ / "config.ini");
    fs::copy_file(fs::path(KR450_SOURCE_DIR) / "data/Macro.dat", dir_ / "Macro.dat");
  }
  void TearDown() override { fs::remove_all(dir_); }

  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"kr450-cli", "--data", dir_.string()});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    CliRun run;
    run.status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    run.out = out.str();
    run.err = err.str();
    std::istringstream lines(run.out);
    const std::regex timed("(.*) t=[0-9]+\\.[0-9]{3}");
    for (std::string line; std::getline(lines, line);) {
      std::smatch m;
      if (std::regex_match(line, m, timed)) line = m[1];
      (line.starts_with("sim ") ? run.sim : run.traced).push_back(line);
    }
    return run;
  }

  void SetButton6(int code) {
    std::ifstream in(dir_ / "config.ini");
    std::stringstream text;
    text << in.rdbuf();
    std::string config = text.str();
    size_t at = config.find("K6=", config.find("[Config1]"));
    config.replace(at, config.find('\n', at) - at, "K6=" + std::to_string(code));
    std::ofstream(dir_ / "config.ini") << config;
  }

  fs::path dir_;
};

const std::vector<std::string> kFactoryApply = {"report 07 10 01 01 00 00 00 00 00",
                                                "report 07 10 02 02 00 00 00 00 00",
                                                "report 07 10 03 03 00 00 00 00 00",
                                                "report 07 10 05 05 00 00 00 00 00",
                                                "report 07 10 04 04 00 00 00 00 00",
                                                "report 07 10 06 1f 00 00 00 00 00",
                                                "report 07 11 00 00 00 00 00 00 00",
                                                "report 07 09 00 90 00 00 00 00 00",
                                                "speed 10"};

std::vector<std::string> CloseSequence() {
  std::vector<std::string> lines(6, "key up vk=0x12 scan=0x00 ext=0");
  lines.push_back("report 07 20 00 00 00 00 00 00 00");
  lines.push_back("speed 10");
  return lines;
}

TEST_F(CliActions, SimClicksTheStartPromptAwayThenStepsTheStage) {
  CliRun run =
      Run({"--simulate", "--trace", "--input", "record", "sim", "click", "6", "click", "6"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.sim, (std::vector<std::string>{"sim press 6", "sim release 6", "sim press 6",
                                               "sim release 6"}));
  std::vector<std::string> expected = kFactoryApply;
  expected.push_back("report 07 09 01 a0 00 00 00 00 00");  // the first click only confirmed
  for (const std::string& line : CloseSequence()) expected.push_back(line);
  EXPECT_EQ(run.traced, expected);
}

TEST_F(CliActions, SimPlaysAMacroWithItsDelays) {
  SetButton6(41);  // the first shipped macro: a double click of the left button
  CliRun run = Run({"--simulate", "--trace", "--input", "record", "sim", "click", "6", "click", "6",
                    "wait", "200"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.sim, (std::vector<std::string>{"sim press 6", "sim release 6", "sim press 6",
                                               "sim release 6", "sim wait 200"}));
  std::vector<std::string> buttons;
  for (const std::string& line : run.traced) {
    if (line.starts_with("button")) buttons.push_back(line);
  }
  EXPECT_EQ(buttons, (std::vector<std::string>{"button left down", "button left up",
                                               "button left down", "button left up"}));
  // Each traced line carries the milliseconds since the start.
  EXPECT_TRUE(std::regex_search(run.out, std::regex("\nbutton left up t=[0-9]+\\.[0-9]{3}\n")));
}

TEST_F(CliActions, SimRejectsBadStepsAndNeedsTheSimulatedMouse) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--simulate", "sim"},
           {"--simulate", "sim", "click", "7"},
           {"--simulate", "sim", "click", "0"},
           {"--simulate", "sim", "wait"},
           {"--simulate", "sim", "wait", "-5"},
           {"--simulate", "sim", "hold", "1"},
           {"sim", "click", "1"},
       }) {
    CliRun run = Run(args);
    EXPECT_EQ(run.status, 2) << args.back();
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(CliActions, RunDrivesUntilSigtermThenClosesDown) {
  // As in the program, the signal must find every thread blocking it.
  sigset_t signals, previous;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  CliRun run;
  std::thread driver([&] { run = Run({"--simulate", "--trace", "--input", "record", "run"}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(::getpid(), SIGTERM);
  driver.join();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> expected = kFactoryApply;
  for (const std::string& line : CloseSequence()) expected.push_back(line);
  EXPECT_EQ(run.traced, expected);
}

}  // namespace
}  // namespace kr450
