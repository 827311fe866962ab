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
// configuration folder, copied from the shipped ones on first start.
TEST(Paths, UnwritableProgramFolderUsesTheUserConfigFolder) {
  const fs::path installed = "/usr/share";  // never writable for an ordinary user
  if (::access(installed.c_str(), W_OK) == 0) GTEST_SKIP() << "runs as an ordinary user";
  const test::ScratchDir scratch;
  const fs::path home = scratch.path() / "config";  // not there yet
  ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  EXPECT_EQ(fs::path(DataDirectoryFor(installed.string())), home / "kr450");
  EXPECT_TRUE(fs::is_directory(home / "kr450"));
}

}  // namespace
}  // namespace kr450
