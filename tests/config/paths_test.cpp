#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

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

// The shipped files lie beside the program in the build tree and under ../share/kr450 once
// installed; skins beside the program win, so a build tree inside a prefix stays a build tree.
TEST(Paths, ShippedFilesAreBesideTheProgramOrUnderShare) {
  const test::ScratchDir scratch;
  const fs::path& prefix = scratch.path();
  const struct {
    const char* name;
    std::vector<const char*> skinFolders;
    fs::path expected;
  } cases[] = {
      {"build tree", {"bin/skins"}, prefix / "bin"},
      {"installed", {"share/kr450/skins"}, prefix / "share/kr450"},
      {"both", {"bin/skins", "share/kr450/skins"}, prefix / "bin"},
      {"neither", {}, prefix / "bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(prefix / "bin");
    fs::remove_all(prefix / "share");
    fs::create_directories(prefix / "bin");
    for (const char* folder : c.skinFolders) fs::create_directories(prefix / folder);
    EXPECT_EQ(fs::path(ShippedDirectoryFor((prefix / "bin").string())), c.expected);
  }
}

// An installed program keeps the user's files in the user's folder even where it may write
// its own (a prefix in the home folder, or root and /usr/bin), copied from share/kr450.
TEST(Paths, InstalledProgramUsesTheUserConfigFolderEvenWhenItsFolderIsWritable) {
  const test::ScratchDir scratch;
  const fs::path bin = scratch.path() / "prefix/bin";
  const fs::path shipped = scratch.path() / "prefix/share/kr450";
  fs::create_directories(bin);
  fs::create_directories(shipped / "skins");
  fs::create_directories(shipped / "defaults");
  test::WriteFileBytes(shipped / "defaults/config.ini", "[Init]\nCurConfig=3\n");
  test::WriteFileBytes(shipped / "defaults/Macro.dat", "[Macros]\nmacroNum=0\n");
  test::WriteFileBytes(bin / "config.ini", "[Init]\nCurConfig=5\n");  // not the program's

  const fs::path home = scratch.path() / "config";
  ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  EXPECT_EQ(fs::path(DataDirectoryFor(bin.string())), home / "kr450");
  EXPECT_EQ(test::ReadFileBytes(home / "kr450/config.ini"), "[Init]\nCurConfig=3\n");
  EXPECT_EQ(test::ReadFileBytes(home / "kr450/Macro.dat"), "[Macros]\nmacroNum=0\n");
}

}  // namespace
}  // namespace kr450
