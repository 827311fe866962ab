#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/paths.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;

TEST(Paths, ProgramDirectoryIsTheExecutablesFolder) {
  EXPECT_EQ(fs::path(ProgramDirectory()), fs::canonical("/proc/self/exe").parent_path());
  if (::access(ProgramDirectory().c_str(), W_OK) == 0) {
    EXPECT_EQ(DataDirectoryFor(ProgramDirectory()), ProgramDirectory());  // the build tree
  }
}

// An installed program in a folder the user cannot write keeps its files in the user's
// configuration folder, copied from the shipped ones on first start and kept after that.
TEST(Paths, UnwritableProgramFolderUsesTheUserConfigFolder) {
  const test::ScratchDir scratch;
  const fs::path program = scratch.path() / "program";
  fs::create_directories(program / "defaults");
  test::WriteFileBytes(program / "defaults/config.ini", "[Init]\nCurConfig=2\n");
  test::WriteFileBytes(program / "Macro.dat", "[Macros]\nmacroNum=0\n");
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(program.c_str(), W_OK) == 0) GTEST_SKIP() << "permissions do not bind root";

  const fs::path home = scratch.path() / "config";  // not there yet
  ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  const fs::path user = home / "kr450";
  EXPECT_EQ(fs::path(DataDirectoryFor(program.string())), user);
  EXPECT_EQ(test::ReadFileBytes(user / "config.ini"), "[Init]\nCurConfig=2\n");
  EXPECT_EQ(test::ReadFileBytes(user / "Macro.dat"), "[Macros]\nmacroNum=0\n");

  test::WriteFileBytes(user / "config.ini", "[Init]\nCurConfig=4\n");  // the user's own
  DataDirectoryFor(program.string());
  EXPECT_EQ(test::ReadFileBytes(user / "config.ini"), "[Init]\nCurConfig=4\n");
}

}  // namespace
}  // namespace kr450
