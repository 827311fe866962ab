#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "config/ini_file.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;

class AtomicWrite : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("kr450-atomic-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static Status SetKey(const std::string& path, const char* value) {
    return UpdateIniFile(path, [&](IniDocument& doc) { doc.Set("S", "k", value); });
  }
  fs::path dir_;
};

TEST_F(AtomicWrite, CreatesKeepsPermissionsAndFollowsLinks) {
  const std::string file = Path("config.ini");
  ASSERT_TRUE(SetKey(file, "1"));
  EXPECT_EQ(Read(file), "[S]\nk=1\n");

  ::chmod(file.c_str(), 0600);
  ASSERT_TRUE(SetKey(file, "2"));
  struct stat info {};
  ::stat(file.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const std::string link = Path("link.ini");
  fs::create_symlink(file, link);
  ASSERT_TRUE(SetKey(link, "3"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(file), "[S]\nk=3\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(AtomicWrite, FailuresLeaveTheFileAndSayWhy) {
  const std::string missingFolder = Path("missing/config.ini");
  Status status = SetKey(missingFolder, "1");
  EXPECT_FALSE(status);
  EXPECT_NE(status.message().find("missing/config.ini"), std::string::npos);
  EXPECT_FALSE(fs::exists(missingFolder));

  Write(Path("plain"), "x");
  EXPECT_FALSE(SetKey(Path("plain/config.ini"), "1"));  // a file where a folder should be

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string readOnly = Path("read-only.ini");
  Write(readOnly, "[S]\nk=old\n");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_FALSE(SetKey(readOnly, "new"));
  EXPECT_EQ(Read(readOnly), "[S]\nk=old\n");

  const std::string unreadable = Path("unreadable.ini");
  Write(unreadable, "[S]\nk=old\nother=kept\n");
  ::chmod(unreadable.c_str(), 0200);
  EXPECT_FALSE(SetKey(unreadable, "new"));  // would otherwise lose "other"
  ::chmod(unreadable.c_str(), 0600);
  EXPECT_EQ(Read(unreadable), "[S]\nk=old\nother=kept\n");

  const std::string lockedFolderFile = Path("locked/config.ini");
  fs::create_directories(Path("locked"));
  Write(lockedFolderFile, "[S]\nk=old\n");
  ::chmod(Path("locked").c_str(), 0555);
  EXPECT_FALSE(SetKey(lockedFolderFile, "new"));
  EXPECT_EQ(Read(lockedFolderFile), "[S]\nk=old\n");
}

// A process killed at a random moment while it rewrites the file leaves either the old file
// or the new one, never a torn mixture.
TEST_F(AtomicWrite, KillDuringWriteLeavesOldOrNew) {
  const std::string file = Path("config.ini");
  // Large enough that one write takes a while.
  const std::string a(200000, 'a'), b(200000, 'b');
  auto content = [](const std::string& fill) { return "[S]\nk=" + fill + "\n"; };
  Write(file, content(a));
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
    const std::string now = Read(file);
    ASSERT_TRUE(now == content(a) || now == content(b))
        << "round " << round << ": torn file of " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace kr450
