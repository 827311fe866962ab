#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "config/ini_file.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

class CliDeviceCommands : public ::testing::Test {
 protected:
  CliDeviceCommands() { test::CopyShippedData(dir, {"config.ini", "Macro.dat"}); }

  test::CliResult Run(std::vector<std::string> args) {
    return test::RunCliWithData(dir.path().string(), std::move(args));
  }

  test::ScratchDir dir;
};

TEST_F(CliDeviceCommands, SimulatedResetEndsWithTheEightFactoryReports) {
  ASSERT_EQ(Run({"select", "1"}).status, 0);
  const test::CliResult run = Run({"--simulate", "--trace", "reset"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = test::SplitLines(run.out);
  ASSERT_GE(lines.size(), 8u);
  const std::vector<std::string> last8(lines.end() - 8, lines.end());
  EXPECT_EQ(last8, (std::vector<std::string>{
                       "report 07 10 01 01 00 00 00 00 00", "report 07 10 02 02 00 00 00 00 00",
                       "report 07 10 03 03 00 00 00 00 00", "report 07 10 05 05 00 00 00 00 00",
                       "report 07 10 04 04 00 00 00 00 00", "report 07 10 06 1f 00 00 00 00 00",
                       "report 07 11 00 00 00 00 00 00 00", "report 07 09 00 90 00 00 00 00 00"}));
  EXPECT_EQ(LoadIniFile(dir.File("config.ini")).Get("Config1", "K6", 8), "6");
}

TEST_F(CliDeviceCommands, ApplyWithoutTheMouseWritesTheFilesAndAsksForIt) {
  // The simulated system stands in for one without the mouse only through --simulate; here
  // the system's own devices are searched, and this machine has no KR-450.
  const test::CliResult run = Run({"--input", "record", "apply", "2"});
  if (run.status == 0) GTEST_SKIP() << "a KR-450 is plugged in";
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("请插入【KR-450】USB鼠标"), std::string::npos);
  const IniDocument doc = LoadIniFile(dir.File("config.ini"));
  EXPECT_EQ(doc.Get("Init", "CurConfig", 4), "2");
  EXPECT_EQ(doc.Get("Config6", "K1", 4), doc.Get("Config2", "K1", 4));
}

TEST_F(CliDeviceCommands, ProbeListsCollectionsAndTellsWhetherTheMouseWasFound) {
  const test::CliResult simulated = Run({"--simulate", "probe"});
  EXPECT_EQ(simulated.status, 0);
  std::vector<std::string> lines = test::SplitLines(simulated.out);
  ASSERT_EQ(lines.size(), 6u) << simulated.out;
  // Last, the scheduling the two workers get and the access to /dev/uinput, which depend on
  // the system and the user.
  EXPECT_TRUE(lines[3].starts_with("input reader scheduling: ")) << lines[3];
  EXPECT_TRUE(lines[4].starts_with("action executor scheduling: ")) << lines[4];
  EXPECT_TRUE(lines[5].starts_with("uinput: /dev/uinput can")) << lines[5];
  lines.resize(3);
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "/dev/hidraw-sim-kr450 collection 0: 18f8:0f99 usage page 0xff00 usage 0x0001, "
                "report lengths input 8 output 0 feature 0, can be opened",
                "/dev/hidraw-sim-kr450 collection 1: 18f8:0f99 usage page 0xff01 usage 0x0001, "
                "report lengths input 0 output 0 feature 9, can be opened",
                "KR-450 found at /dev/hidraw-sim-kr450"}));

  // The system's own devices: whatever they are, exactly one verdict line, in one of its
  // two forms.
  const test::CliResult system = Run({"--input", "record", "probe"});
  EXPECT_EQ(system.status, 0);
  std::vector<std::string> verdicts;
  for (const std::string& line : test::SplitLines(system.out)) {
    if (line.starts_with("KR-450 ")) verdicts.push_back(line);
  }
  ASSERT_EQ(verdicts.size(), 1u) << system.out;
  if (verdicts[0] != "KR-450 not found") {
    EXPECT_TRUE(verdicts[0].starts_with("KR-450 found at /dev/hidraw")) << verdicts[0];
  }
}

TEST_F(CliDeviceCommands, BadArgumentsAreRefusedWithAWordAndTouchNothing) {
  const std::string before = test::ReadFileBytes(dir.File("config.ini"));
  const struct {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{"probe", "x"}, "usage: kr450-cli [OPTIONS] probe\n"},
      {{"reset", "x"}, "usage: kr450-cli [OPTIONS] reset\n"},
      {{"apply", "6"}, "kr450-cli: expected at most one configuration number 1..5\n"},
      {{"apply", "1", "2"}, "kr450-cli: expected at most one configuration number 1..5\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    std::vector<std::string> args = {"--simulate", "--trace"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const test::CliResult run = Run(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");  // nothing was sent
  }
  EXPECT_EQ(test::ReadFileBytes(dir.File("config.ini")), before);
}

}  // namespace
}  // namespace kr450
