#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "config/atomic_file.h"
#include "config/ini_file.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

class AtomicWrite : public testing::Test {
 protected:
  static Status SetKey(const std::string& path, const char* value) {
    return UpdateIniFile(path, [&](IniDocument& doc) { doc.Set("S", "k", value); });
  }
  test::ScratchDir dir_;
};

TEST_F(AtomicWrite, CreatesKeepsPermissionsAndFollowsLinks) {
  const std::string file = dir_.File("config.ini");
  ASSERT_TRUE(SetKey(file, "1"));
  EXPECT_EQ(ReadFileBytes(file), "[S]\nk=1\n");

  ::chmod(file.c_str(), 0600);
  ASSERT_TRUE(SetKey(file, "2"));
  struct stat info {};
  ::stat(file.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const std::string link = dir_.File("link.ini");
  fs::create_symlink(file, link);
  ASSERT_TRUE(SetKey(link, "3"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(file), "[S]\nk=3\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 2);
}

TEST_F(AtomicWrite, FailuresLeaveTheFileAndSayWhy) {
  const std::string missingFolder = dir_.File("missing/config.ini");
  Status status = SetKey(missingFolder, "1");
  EXPECT_FALSE(status);
  EXPECT_NE(status.message().find("missing/config.ini"), std::string::npos);
  EXPECT_FALSE(fs::exists(missingFolder));

  WriteFileBytes(dir_.File("plain"), "x");
  EXPECT_FALSE(SetKey(dir_.File("plain/config.ini"), "1"));  // a file where a folder should be

  // A read-only file is kept also for root, whom the rename would let replace it.
  const std::string readOnly = dir_.File("read-only.ini");
  WriteFileBytes(readOnly, "[S]\nk=old\n");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_FALSE(SetKey(readOnly, "new"));
  EXPECT_EQ(ReadFileBytes(readOnly), "[S]\nk=old\n");

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";

  const std::string unreadable = dir_.File("unreadable.ini");
  WriteFileBytes(unreadable, "[S]\nk=old\nother=kept\n");
  ::chmod(unreadable.c_str(), 0200);
  EXPECT_FALSE(SetKey(unreadable, "new"));  // would otherwise lose "other"
  ::chmod(unreadable.c_str(), 0600);
  EXPECT_EQ(ReadFileBytes(unreadable), "[S]\nk=old\nother=kept\n");

  const std::string lockedFolderFile = dir_.File("locked/config.ini");
  fs::create_directories(dir_.File("locked"));
  WriteFileBytes(lockedFolderFile, "[S]\nk=old\n");
  ::chmod(dir_.File("locked").c_str(), 0555);
  EXPECT_FALSE(SetKey(lockedFolderFile, "new"));
  EXPECT_EQ(ReadFileBytes(lockedFolderFile), "[S]\nk=old\n");
}

TEST_F(AtomicWrite, NewFilesFollowTheUmaskAndStaleTemporariesGo) {
  const mode_t previous = ::umask(027);
  ASSERT_TRUE(SetKey(dir_.File("new.ini"), "1"));
  ::umask(previous);
  struct stat info {};
  ::stat(dir_.File("new.ini").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  // Left by a write killed before its rename: an old temporary is removed, a fresh one may
  // belong to a write in progress. Files of other names are the user's, however they look.
  struct Case {
    const char* name;
    int ageMinutes;
    bool kept;
  };
  const Case cases[] = {
      {".new.ini.kr450-tmp-AbC123", 60, false},
      {".new.ini.kr450-tmp-XyZ789", 0, true},
      {".new.ini.AbC123", 60, true},
      {".new.ini.backup", 120, true},
      {".new.ini.kr450-tmp-AbC12", 60, true},
      {".new.ini.kr450-tmp-AbC1234", 60, true},
      {".other.ini.kr450-tmp-AbC123", 60, true},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir_.File(c.name), "[S]\nk=torn");
    fs::last_write_time(dir_.File(c.name),
                        fs::file_time_type::clock::now() - std::chrono::minutes(c.ageMinutes));
  }
  ASSERT_TRUE(SetKey(dir_.File("new.ini"), "2"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fs::exists(dir_.File(c.name)), c.kept);
  }
}

// A process killed at a random moment while it rewrites the file leaves either the old file
// or the new one, never a torn mixture.
TEST_F(AtomicWrite, KillDuringWriteLeavesOldOrNew) {
  const std::string file = dir_.File("config.ini");
  // Large enough that one write takes a while.
  const std::string a(200000, 'a'), b(200000, 'b');
  auto content = [](const std::string& fill) { return "[S]\nk=" + fill + "\n"; };
  WriteFileBytes(file, content(a));
  std::mt19937 random(12345);
  for (int round = 0; round < 25; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        (void)UpdateIniFile(file, [&](IniDocument& doc) { doc.Set("S", "k", i % 2 ? a : b); });
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadFileBytes(file);
    ASSERT_TRUE(now == content(a) || now == content(b))
        << "round " << round << ": torn file of " << now.size() << " bytes";
  }
  // What the killed writes left says whose it is, so that a later sweep may remove it.
  for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path())) {
    const std::string name = entry.path().filename().string();
    if (name != "config.ini") {
      EXPECT_TRUE(IsAtomicTempOf(name, "config.ini")) << name;
    }
  }
}

}  // namespace
}  // namespace kr450
