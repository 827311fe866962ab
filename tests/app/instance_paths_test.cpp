#include "app/instance_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>

#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

namespace fs = std::filesystem;

TEST(InstanceKey, OneKeyPerDataFolderHoweverItIsSpelt) {
  test::ScratchDir dir;
  fs::create_directory(dir.path() / "a");
  fs::create_directory(dir.path() / "b");
  fs::create_directory_symlink(dir.path() / "a", dir.path() / "link");
  const std::string a = SimulatedInstanceKey(dir.File("a"));
  EXPECT_TRUE(std::regex_match(a, std::regex("sim-[0-9a-f]{16}"))) << a;
  for (const char* spelling : {"a/", "a/.", "b/../a", "link", "./link/"}) {
    SCOPED_TRACE(spelling);
    EXPECT_EQ(SimulatedInstanceKey((dir.path() / spelling).string()), a);
  }
  EXPECT_NE(SimulatedInstanceKey(dir.File("b")), a);
  EXPECT_EQ(InstanceKey(true, dir.File("a")), a);
  // The real mouse has one driver per user, wherever its data folder is.
  EXPECT_EQ(InstanceKey(false, dir.File("a")), DRIVER_INSTANCE_KEY);
  EXPECT_EQ(InstanceKey(false, dir.File("b")), DRIVER_INSTANCE_KEY);
}

// A folder the test makes, and whether the instance files may go into it.
struct FolderCase {
  const char* name;
  void (*make)(const fs::path& folder);
  bool accepted;
};

void MakeDirectory(const fs::path& folder, mode_t mode) {
  fs::create_directory(folder);
  ::chmod(folder.c_str(), mode);
}

TEST(PrivateFolder, IsCreatedPrivateAndRefusedWhenOthersCouldReachIt) {
  const FolderCase cases[] = {
      {"missing", [](const fs::path&) {}, true},
      {"private", [](const fs::path& f) { MakeDirectory(f, 0700); }, true},
      {"group may read", [](const fs::path& f) { MakeDirectory(f, 0750); }, false},
      {"world may write", [](const fs::path& f) { MakeDirectory(f, 0703); }, false},
      {"sticky and open", [](const fs::path& f) { MakeDirectory(f, 01777); }, false},
      {"a symbolic link to a private folder",
       [](const fs::path& f) {
         MakeDirectory(f.string() + "-target", 0700);
         fs::create_directory_symlink(f.string() + "-target", f);
       },
       false},
      {"a file", [](const fs::path& f) { test::WriteFileBytes(f, "x"); }, false},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    const fs::path folder = dir.path() / "kr450";
    c.make(folder);
    Status status = PreparePrivateFolder(folder.string());
    EXPECT_EQ(status.ok(), c.accepted) << status.message();
    if (c.accepted) {
      struct stat info {};
      ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
      EXPECT_TRUE(S_ISDIR(info.st_mode));
      EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
  }
}

TEST(PrivateFolder, AnotherUsersFolderIsRefused) {
  test::ScratchDir dir;
  fs::path folder = dir.path() / "kr450";
  if (::getuid() == 0) {
    MakeDirectory(folder, 0700);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);  // nobody's
  } else {
    folder = "/";  // root's
  }
  Status status = PreparePrivateFolder(folder.string());
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.message().find("another user"), std::string::npos) << status.message();
}

// XDG_RUNTIME_DIR set for the scope, or unset with nullopt.
class RuntimeDirVariable {
 public:
  explicit RuntimeDirVariable(const std::optional<std::string>& value) {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    value ? ::setenv("XDG_RUNTIME_DIR", value->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  }
  ~RuntimeDirVariable() {
    saved_ ? ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  }

 private:
  std::optional<std::string> saved_;
};

TEST(InstanceFolder, LiesInTheRuntimeFolderOfTheUserElseInTmp) {
  test::ScratchDir runtime;
  const std::string fallback = "/tmp/kr450-" + std::to_string(::getuid());
  fs::path someoneElses = runtime.path() / "other";
  MakeDirectory(someoneElses, 0700);
  const bool canGiveAway = ::getuid() == 0 && ::chown(someoneElses.c_str(), 65534, 65534) == 0;
  struct {
    const char* name;
    std::optional<std::string> variable;
    std::string expected;
  } cases[] = {
      {"the session's runtime folder", runtime.path().string(), runtime.File("kr450")},
      {"unset", std::nullopt, fallback},
      {"relative", "run/user", fallback},
      {"missing", runtime.File("missing"), fallback},
      {"another user's", canGiveAway ? someoneElses.string() : "", fallback},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RuntimeDirVariable variable(c.variable);
    std::string folder;
    Status status = InstanceFolder(&folder);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(folder, c.expected);
  }
}

}  // namespace
}  // namespace kr450
