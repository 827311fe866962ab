#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>
#include <utility>

#include "macro/macro_file.h"
#include "tests/macro/macro_test_support.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

struct CliRun : test::CliResult {
  std::vector<std::string> traced;  // trace lines without their times
  std::vector<std::string> sim;     // the sim step lines among them
};

class CliActions : public testing::Test {
 protected:
  void SetUp() override { test::CopyShippedData(dir_, {"config.ini", "Macro.dat"}); }

  CliRun Run(std::vector<std::string> args) {
    CliRun run{test::RunCliWithData(dir_.path().string(), std::move(args)), {}, {}};
    const std::regex timed("(.*) t=[0-9]+\\.[0-9]{3}");
    for (std::string line : test::SplitLines(run.out)) {
      std::smatch m;
      if (std::regex_match(line, m, timed)) line = m[1];
      (line.starts_with("sim ") ? run.sim : run.traced).push_back(line);
    }
    return run;
  }

  void SetButton6(int code) {
    std::string config = test::ReadFileBytes(dir_.File("config.ini"));
    size_t at = config.find("K6=", config.find("[Config1]"));
    config.replace(at, config.find('\n', at) - at, "K6=" + std::to_string(code));
    std::ofstream(dir_.File("config.ini")) << config;
  }

  test::ScratchDir dir_;
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
  // Key and button lines carry the milliseconds since the start; the speed stands alone.
  EXPECT_TRUE(std::regex_search(run.out, std::regex("\nbutton left up t=[0-9]+\\.[0-9]{3}\n")));
  EXPECT_TRUE(std::regex_search(run.out, std::regex("\nspeed 10\n"))) << run.out;
}

// A held macro (mode 1) plays until its key is released, also after another driver function
// was clicked: that click's release must not stop the next macro.
TEST_F(CliActions, AHeldMacroPlaysUntilReleasedAfterAnotherFunction) {
  std::string config = test::ReadFileBytes(dir_.File("config.ini"));
  const size_t begin = config.find("[Config1]"), end = config.find("[Config2]");
  std::string section = config.substr(begin, end - begin);
  for (auto [from, to] : {std::pair{"K5=4", "K5=6"}, std::pair{"K6=6", "K6=41"},
                          std::pair{"MACRO_MODE2=0", "MACRO_MODE2=1"}}) {
    section.replace(section.find(from), std::string(from).size(), to);
  }
  test::WriteFileBytes(dir_.File("config.ini"), config.replace(begin, end - begin, section));
  CliRun run = Run({"--simulate", "--trace", "--input", "record", "sim", "click", "6", "click", "4",
                    "wait", "50", "press", "6", "wait", "300", "release", "6"});
  ASSERT_EQ(run.status, 0) << run.err;
  int buttons = 0;
  for (const std::string& line : run.traced) buttons += line.starts_with("button") ? 1 : 0;
  // The double click takes 100 ms a pass: at least two passes in 300 ms.
  EXPECT_GE(buttons, 8) << run.out;
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
  // After the start-up apply the trace says which scheduling each worker got; what that is
  // depends on the user's rights and the system bus.
  std::vector<std::string> traced = run.traced;
  const size_t schedulingAt = kFactoryApply.size();
  ASSERT_GE(traced.size(), schedulingAt + 2);
  EXPECT_EQ(traced[schedulingAt].rfind("input reader scheduling: ", 0), 0u) << traced[schedulingAt];
  EXPECT_EQ(traced[schedulingAt + 1].rfind("action executor scheduling: ", 0), 0u)
      << traced[schedulingAt + 1];
  traced.erase(traced.begin() + static_cast<std::ptrdiff_t>(schedulingAt),
               traced.begin() + static_cast<std::ptrdiff_t>(schedulingAt) + 2);
  std::vector<std::string> expected = kFactoryApply;
  for (const std::string& line : CloseSequence()) expected.push_back(line);
  EXPECT_EQ(traced, expected);
}

// Where neither a display nor uinput can be had, the driver runs on with a backend that keeps
// nothing (a long `run` must not grow); the trace still shows what would have been sent.
TEST_F(CliActions, WithoutABackendTheDriverRunsOnAndTracesTheCalls) {
  if (::access("/dev/uinput", F_OK) == 0) GTEST_SKIP() << "uinput is there to be opened";
  struct SavedVariable {
    const char* name;
    std::optional<std::string> value;
  };
  std::vector<SavedVariable> saved;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    saved.push_back({name, value != nullptr ? std::optional<std::string>(value) : std::nullopt});
    ::unsetenv(name);
  }
  SetButton6(31);  // Copy
  CliRun run = Run({"--simulate", "--trace", "sim", "click", "6", "click", "6"});
  for (const SavedVariable& variable : saved) {
    if (variable.value) ::setenv(variable.name, variable.value->c_str(), 1);
  }
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("running without synthesised input"), std::string::npos) << run.err;
  std::vector<std::string> keys;
  for (const std::string& line : run.traced) {
    if (line.starts_with("key down vk=0x43") || line.starts_with("key up vk=0x43")) {
      keys.push_back(line);
    }
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"key down vk=0x43 scan=0x2E ext=0",
                                            "key up vk=0x43 scan=0x2E ext=0"}));
}

// A signal ends `sim` as it ends `run`: the macro that plays lets go of its key, and the close
// sequence runs; the exit status says which signal it was.
TEST_F(CliActions, SimEndsOnSigintOrSigtermWithTheCloseSequence) {
  MacroTable macros;
  macros.Edit([](MacroTableData& data) {
    data.records[0] = MacroOf(u"hold", {{0x41, ACTION_PRESS}}, 60000);  // A held for a minute
    data.macroCount = 1;
  });
  ASSERT_TRUE(SaveMacroFile(macros, dir_.File("Macro.dat")));
  SetButton6(41);
  struct Case {
    int signal;
    std::vector<std::string> steps;
    int status;
    std::vector<std::string> beforeClose;  // the last traced lines before the close sequence
  };
  const Case cases[] = {
      {SIGTERM,
       {"click", "6", "click", "6"},
       143,
       {"key down vk=0x41 scan=0x1E ext=0", "key up vk=0x41 scan=0x1E ext=0"}},
      {SIGINT, {"wait", "60000", "click", "6"}, 130, {"speed 10"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signal);
    // As in the program, the signal must find every thread blocking it.
    sigset_t signals, previous;
    sigemptyset(&signals);
    sigaddset(&signals, c.signal);
    pthread_sigmask(SIG_BLOCK, &signals, &previous);
    std::vector<std::string> args = {"--simulate", "--trace", "--input", "record", "sim"};
    args.insert(args.end(), c.steps.begin(), c.steps.end());
    CliRun run;
    std::thread driver([&] { run = Run(args); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto signalled = std::chrono::steady_clock::now();
    ::kill(::getpid(), c.signal);
    driver.join();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(5));
    EXPECT_EQ(run.status, c.status) << run.err;
    std::vector<std::string> tail = c.beforeClose;
    for (const std::string& line : CloseSequence()) tail.push_back(line);
    ASSERT_GE(run.traced.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(run.traced.end() - static_cast<long>(tail.size()),
                                       run.traced.end()),
              tail);
    EXPECT_EQ(run.sim.size(), c.signal == SIGTERM ? 4u : 1u);  // no step after the signal
  }
}

}  // namespace
}  // namespace kr450
