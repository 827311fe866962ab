#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>

#include "config/config_store.h"
#include "config/regular_file.h"
#include "tests/support/cli_runner.h"
#include "tests/support/odd_files.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;

using test::CliResult;

class CliConfig : public testing::Test {
 protected:
  void SetUp() override { test::CopyShippedData(dir_, {"config.ini"}); }

  CliResult Run(std::vector<std::string> args) {
    return test::RunCliWithData(dir_.path().string(), std::move(args));
  }
  test::ScratchDir dir_;
};

TEST_F(CliConfig, ShowPrintsTheKeysInWriteOrder) {
  CliResult run = Run({"show"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "CurConfig=1\nK1=1\nK2=2\nK3=3\nK4=5\nK5=4\nK6=6\nDPI_LEVEL=0\nWHEEL_STATUS=0\n"
            "MACRO_MODE2=0\nDPI_SET1=1\nDPI_SET_EN1=1\nDPI_SET2=2\nDPI_SET_EN2=1\nDPI_SET3=4\n"
            "DPI_SET_EN3=1\nDPI_SET4=0\nDPI_SET_EN4=1\nLED_STATUS=0\nDPI_SPEED=10\n");
  CliResult four = Run({"show", "4"});
  EXPECT_TRUE(four.out.starts_with("CurConfig=1\nK1=1\nK2=2\nK3=3\nK4=32\n")) << four.out;
}

TEST_F(CliConfig, SelectExportImportRoundTrip) {
  ASSERT_EQ(Run({"select", "3"}).status, 0);
  const std::string three = Run({"show"}).out;
  EXPECT_TRUE(three.starts_with("CurConfig=3\n"));
  const std::string exchange = dir_.File("mine.ini");
  ASSERT_EQ(Run({"export", exchange}).status, 0);
  ASSERT_EQ(Run({"select", "1"}).status, 0);
  ASSERT_EQ(Run({"import", exchange}).status, 0);
  std::string one = Run({"show"}).out;
  EXPECT_EQ(one.substr(one.find('\n')), three.substr(three.find('\n')));
}

TEST_F(CliConfig, ResetRestoresPresets) {
  const std::string before = Run({"show", "2"}).out;
  std::ofstream(dir_.path() / "config.ini", std::ios::app)
      << "[Config2]\nK4=1\n";  // ignored duplicate
  dir_.Write("edited.ini", "[Config7]\nK1=33\nK4=19\n");
  ASSERT_EQ(Run({"import", dir_.File("edited.ini")}).status, 0);
  // Without the mouse the files are still reset, and the command says the mouse is missing.
  CliResult reset = Run({"reset"});
  EXPECT_EQ(reset.status, 1);
  EXPECT_NE(reset.err.find("请插入【KR-450】USB鼠标"), std::string::npos) << reset.err;
  EXPECT_EQ(Run({"show", "2"}).out, before);
  EXPECT_TRUE(Run({"show"}).out.starts_with("CurConfig=1\nK1=1\nK2=2\nK3=3\nK4=5\n"));
}

TEST_F(CliConfig, ErrorsGoToStderrWithAStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"frobnicate"}, 2},
      {{"show", "6"}, 2},
      {{"show", "x"}, 2},
      {{"select"}, 2},
      {{"select", "0"}, 2},
      {{"select", "1", "2"}, 2},
      {{"import"}, 2},
      {{"import", dir_.File("absent.ini")}, 1},
      {{"import", dir_.path().string()}, 1},  // a folder is no file
      // A file without an exported configuration would empty the current one.
      {{"import", (fs::path(KR450_FIXTURES) / "config/hand_edited.ini").string()}, 1},
      {{"save", "extra"}, 2},
      {{"revert", "x"}, 2},
      {{"--data", dir_.File("no-such-folder"), "show"}, 1},
      {{"export", dir_.File("no/such/folder.ini")}, 1},
      {{"--bogus", "show"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    CliResult run = Run(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(run.err.empty());
  }
}

TEST_F(CliConfig, MissingConfigIsRecreatedFromTheShippedDefault) {
  fs::remove(dir_.path() / "config.ini");
  CliResult run = Run({"show"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("CurConfig=1\nK1=1\n"));
  EXPECT_TRUE(fs::exists(dir_.path() / "config.ini"));
}

// A fault here would hang on a named pipe for ever; the guard ends the test instead.
class CliConfigSpecialFiles : public CliConfig {
 protected:
  test::HangGuard guard_;
};

TEST_F(CliConfigSpecialFiles, ImportAndExportTakeOnlyRegularFiles) {
  const std::string config = test::ReadFileBytes(dir_.path() / "config.ini");
  for (const test::SpecialFile& special : test::MakeSpecialFiles(dir_)) {
    SCOPED_TRACE(special.label);
    for (const char* command : {"import", "export"}) {
      CliResult run = Run({command, special.path});
      EXPECT_EQ(run.status, 1);
      EXPECT_TRUE(run.out.empty());
      EXPECT_NE(run.err.find(special.path + ": "), std::string::npos) << run.err;
      EXPECT_NE(run.err.find(", not a regular file\n"), std::string::npos) << run.err;
      EXPECT_EQ(test::TypeOf(special.path), special.type);
    }
  }
  // An endless device was read until memory ran out.
  CliResult zero = Run({"import", "/dev/zero"});
  EXPECT_EQ(zero.status, 1);
  EXPECT_EQ(zero.err, "kr450-cli: /dev/zero: a device, not a regular file\n");

  const std::string huge = dir_.File("huge.ini");
  test::MakeSparseFile(huge, MAX_USER_FILE_BYTES + 1);
  CliResult tooLarge = Run({"import", huge});
  EXPECT_EQ(tooLarge.status, 1);
  EXPECT_EQ(tooLarge.err, "kr450-cli: " + huge + ": larger than 16 MiB\n");
  EXPECT_EQ(fs::file_size(huge), MAX_USER_FILE_BYTES + 1);

  EXPECT_EQ(test::ReadFileBytes(dir_.path() / "config.ini"), config);
}

TEST_F(CliConfigSpecialFiles, AConfigurationThatIsNoFileStopsTheCommand) {
  fs::remove(dir_.path() / "config.ini");
  ASSERT_EQ(::mkfifo(dir_.File("config.ini").c_str(), 0644), 0);
  CliResult run = Run({"show"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "kr450-cli: " + dir_.File("config.ini") + ": a named pipe, not a regular file\n");
  EXPECT_EQ(test::TypeOf(dir_.File("config.ini")), fs::file_type::fifo);
}

// The sweep of temporaries left by killed writes takes only its own names.
TEST_F(CliConfig, WritesKeepTheUsersFilesBesideTheirTarget) {
  const std::string exchange = dir_.File("mouse.ini");
  for (const char* name : {".config.ini.backup", ".mouse.ini.backup", ".config.ini.Ab12Cd"}) {
    dir_.Write(name, "mine");
    fs::last_write_time(dir_.File(name), fs::file_time_type::clock::now() - std::chrono::hours(2));
  }
  ASSERT_EQ(Run({"save"}).status, 0);
  ASSERT_EQ(Run({"export", exchange}).status, 0);
  for (const char* name : {".config.ini.backup", ".mouse.ini.backup", ".config.ini.Ab12Cd"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(test::ReadFileBytes(dir_.path() / name), "mine");
  }
}

}  // namespace
}  // namespace kr450
