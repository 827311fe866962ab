#include "app/instance_guard.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/instance_client.h"
#include "app/instance_paths.h"
#include "app/instance_service_thread.h"
#include "tests/app/child_process.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Every test has a runtime folder of its own, so that no test meets a driver the user runs.
class InstanceGuardTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }
  void TearDown() override {
    saved_ ? ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  }

  // The stand-in driver in a process of its own.
  static std::unique_ptr<test::ChildProcess> StartHelper(const std::string& key,
                                                         const std::string& identity) {
    return std::make_unique<test::ChildProcess>(std::vector<std::string>{
        std::string(KR450_BIN_DIR) + "/kr450_instance_helper", key, identity});
  }

  // A helper that holds the guard of `key`.
  static std::unique_ptr<test::ChildProcess> StartPrimary(const std::string& key,
                                                          const std::string& identity) {
    auto helper = StartHelper(key, identity);
    EXPECT_EQ(helper->ReadLine(), "primary");
    return helper;
  }

  std::string Folder() const { return runtime_.File("kr450"); }
  std::string SocketPath(const std::string& key) const { return InstanceSocketPath(Folder(), key); }
  std::string LockPath(const std::string& key) const { return InstanceLockPath(Folder(), key); }

  test::ScratchDir runtime_;
  std::optional<std::string> saved_;
};

TEST_F(InstanceGuardTest, ASecondProcessFindsTheFirstAndLearnsWhatRuns) {
  auto first = StartPrimary("driver", "kr450-cli run");

  InstanceGuard::Acquired here = InstanceGuard::Acquire("driver", "kr450 window");
  EXPECT_EQ(here.outcome, InstanceGuard::Outcome::AlreadyRunning);
  EXPECT_EQ(here.guard, nullptr);
  EXPECT_EQ(here.answer, "ok kr450-cli run");

  InstanceGuard::Acquired restore =
      InstanceGuard::Acquire("driver", "kr450 window", REQUEST_RESTORE);
  EXPECT_EQ(restore.answer, "busy kr450-cli run");
  EXPECT_EQ(AskInstance("driver", "volume up"), ANSWER_UNKNOWN_REQUEST);

  auto second = StartHelper("driver", "kr450 window");
  EXPECT_EQ(second->ReadLine(), "running ok kr450-cli run");
  EXPECT_EQ(second->Wait(), 3);

  // Once the first ends, the next start is the driver.
  first->CloseStdin();
  EXPECT_EQ(first->Wait(), 0);
  EXPECT_FALSE(fs::exists(SocketPath("driver")));
  EXPECT_FALSE(fs::exists(LockPath("driver")));
  auto third = StartPrimary("driver", "kr450 window");
  EXPECT_EQ(RequestRestore("driver"), ANSWER_RESTORED);
}

TEST_F(InstanceGuardTest, OfManyStartedAtOnceExactlyOneDrives) {
  std::vector<std::unique_ptr<test::ChildProcess>> helpers;
  for (int i = 0; i < 6; ++i)
    helpers.push_back(StartHelper("driver", "helper " + std::to_string(i)));
  std::optional<std::string> primary;
  std::vector<std::string> answers;
  for (size_t i = 0; i < helpers.size(); ++i) {
    std::optional<std::string> line = helpers[i]->ReadLine();
    ASSERT_TRUE(line.has_value());
    if (*line == "primary") {
      EXPECT_FALSE(primary.has_value()) << "two primaries";
      primary = "helper " + std::to_string(i);
    } else {
      answers.push_back(*line);
    }
  }
  ASSERT_TRUE(primary.has_value());
  for (const std::string& answer : answers) EXPECT_EQ(answer, "running ok " + *primary);
}

TEST_F(InstanceGuardTest, AKilledDriverLeavesNothingThatBlocksTheNext) {
  auto crashed = StartPrimary("driver", "kr450 window");
  crashed->Signal(SIGKILL);
  EXPECT_EQ(crashed->Wait(), 128 + SIGKILL);
  // What it left: the lock file and the socket file, with no one behind them.
  ASSERT_TRUE(fs::exists(LockPath("driver")));
  ASSERT_TRUE(fs::is_socket(SocketPath("driver")));
  EXPECT_EQ(AskAtSocket(SocketPath("driver"), REQUEST_HELLO, Clock::now() + 500ms).outcome,
            InstanceReply::Outcome::NoListener);

  auto next = StartPrimary("driver", "kr450-cli run");
  EXPECT_EQ(AskInstance("driver", REQUEST_HELLO), "ok kr450-cli run");
}

// A driver that hangs still holds its lock: the next start does not wait for it for ever, nor
// take over.
TEST_F(InstanceGuardTest, AHangingDriverStillCountsAsRunning) {
  auto hanging = StartPrimary("driver", "kr450 window");
  ASSERT_TRUE(hanging->Stop());
  const auto start = Clock::now();
  InstanceGuard::Acquired acquired = InstanceGuard::Acquire("driver", "kr450-cli run");
  EXPECT_EQ(acquired.outcome, InstanceGuard::Outcome::AlreadyRunning);
  EXPECT_EQ(acquired.answer, "");
  EXPECT_LT(Clock::now() - start, InstanceGuard::ASK_TIMEOUT + 500ms);
  hanging->Signal(SIGCONT);
  EXPECT_EQ(AskInstance("driver", REQUEST_HELLO), "ok kr450 window");
}

TEST_F(InstanceGuardTest, SimulatedSessionsOnDifferentFoldersRunSideBySide) {
  test::ScratchDir a, b;
  const std::string keyA = SimulatedInstanceKey(a.path().string());
  const std::string keyB = SimulatedInstanceKey(b.path().string());
  auto real = StartPrimary(std::string(DRIVER_INSTANCE_KEY), "kr450 window");
  auto onA = StartPrimary(keyA, "kr450-cli sim");
  auto onB = StartPrimary(keyB, "kr450 window");
  auto againOnA = StartHelper(SimulatedInstanceKey(a.File(".")), "kr450 window");
  EXPECT_EQ(againOnA->ReadLine(), "running ok kr450-cli sim");
  EXPECT_EQ(RequestRestore(keyB), ANSWER_RESTORED);
}

// A client of the socket, written by hand to misbehave.
class RawClient {
 public:
  explicit RawClient(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { ::close(fd_); }
  bool connected() const { return connected_; }
  void Send(const std::string& bytes) {
    [[maybe_unused]] ssize_t ignored = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }
  // Everything up to the server's close; nullopt if it does not close in time.
  std::optional<std::string> ReadUntilClosed(std::chrono::milliseconds timeout) {
    std::string got;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd readable{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
        return std::nullopt;
      }
      char buffer[512];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) return got;  // closed (a reset after unread bytes counts as closed too)
      got.append(buffer, static_cast<size_t>(n));
    }
  }

 private:
  int fd_;
  bool connected_ = false;
};

class InstanceServing : public InstanceGuardTest {
 protected:
  void SetUp() override {
    InstanceGuardTest::SetUp();
    InstanceGuard::Acquired acquired = InstanceGuard::Acquire("driver", "kr450 window");
    ASSERT_EQ(acquired.outcome, InstanceGuard::Outcome::Primary) << acquired.message;
    guard_ = std::move(acquired.guard);
    guard_->SetRequestHandler([this](std::string_view request) {
      if (request != REQUEST_RESTORE) return std::string();
      ++restores_;
      return std::string(ANSWER_RESTORED);
    });
  }

  std::unique_ptr<InstanceGuard> guard_;
  std::atomic<int> restores_{0};
};

TEST_F(InstanceServing, AnswersOnTheOwnersThreadWhenItCallsHandleReadable) {
  auto second = StartHelper("driver", "kr450 window");
  // Nothing is answered until the owner looks at the descriptor.
  pollfd readable{guard_->fd(), POLLIN, 0};
  ASSERT_EQ(::poll(&readable, 1, 5000), 1);
  EXPECT_EQ(restores_.load(), 0);
  for (auto until = Clock::now() + 5s; Clock::now() < until;) {
    if (::poll(&readable, 1, 100) == 1) guard_->HandleReadable();
    if (std::optional<std::string> line = second->ReadLine(10ms)) {
      EXPECT_EQ(*line, "running ok kr450 window");
      break;
    }
  }
  EXPECT_EQ(second->Wait(), 3);
  // With nothing left to do the descriptor is quiet: a window watching it does not wake.
  EXPECT_EQ(::poll(&readable, 1, 0), 0);
}

TEST_F(InstanceServing, HandleReadableNeverWaitsForAClient) {
  RawClient partial(SocketPath("driver"));
  ASSERT_TRUE(partial.connected());
  partial.Send("rest");
  const auto start = Clock::now();
  for (int i = 0; i < 5; ++i) guard_->HandleReadable();
  // Waiting for the client would last until its timeout; a loaded machine (or a sanitizer)
  // may take a good part of a second for the calls themselves.
  EXPECT_LT(Clock::now() - start, InstanceServer::CLIENT_TIMEOUT - 100ms);
  partial.Send("ore\n");
  pollfd readable{guard_->fd(), POLLIN, 0};
  ASSERT_EQ(::poll(&readable, 1, 5000), 1);
  guard_->HandleReadable();
  EXPECT_EQ(partial.ReadUntilClosed(1s), "ok window\n");
  EXPECT_EQ(restores_.load(), 1);
}

// Clients that send rubbish, too much or nothing at all get their answer or are dropped, and
// none holds up an honest request.
TEST_F(InstanceServing, MisbehavingClientsDoNotBlockTheDriver) {
  InstanceServiceThread service(*guard_);
  ASSERT_TRUE(service.running());
  std::vector<std::unique_ptr<RawClient>> silent;
  for (size_t i = 0; i < InstanceServer::MAX_CLIENTS + 4; ++i) {
    silent.push_back(std::make_unique<RawClient>(SocketPath("driver")));
  }
  struct {
    const char* name;
    std::string bytes;
    std::string answer;
  } cases[] = {
      {"garbage", std::string("\x01\xff\x00zz\n", 6), "error unknown-request\n"},
      {"a long line", std::string(size_t{64} * 1024, 'r'), "error line-too-long\n"},
      {"a long line that ends", std::string(MAX_INSTANCE_LINE + 1, 'r') + "\n",
       "error line-too-long\n"},
      {"a request in lower and upper case", "Restore\n", "error unknown-request\n"},
      {"hello", "hello\n", "ok kr450 window\n"},
      {"restore with CRLF", "restore\r\n", "ok window\n"},
      {"two lines at once: one answer", "hello\nrestore\n", "ok kr450 window\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawClient client(SocketPath("driver"));
    ASSERT_TRUE(client.connected());
    client.Send(c.bytes);
    const auto start = Clock::now();
    EXPECT_EQ(client.ReadUntilClosed(2s), c.answer);
    // Not after the silent clients' timeout.
    EXPECT_LT(Clock::now() - start, InstanceServer::CLIENT_TIMEOUT - 100ms);
  }
  EXPECT_EQ(restores_.load(), 1);
  // The silent ones are dropped after their timeout.
  const auto start = Clock::now();
  for (auto& client : silent) EXPECT_EQ(client->ReadUntilClosed(3s), "");
  EXPECT_LT(Clock::now() - start, InstanceServer::CLIENT_TIMEOUT + 1s);
  EXPECT_EQ(AskInstance("driver", REQUEST_RESTORE), ANSWER_RESTORED);
}

TEST_F(InstanceServing, EndingTheGuardRemovesItsFilesAndFreesTheKey) {
  ASSERT_TRUE(fs::is_socket(SocketPath("driver")));
  ASSERT_TRUE(fs::exists(LockPath("driver")));
  guard_.reset();
  EXPECT_FALSE(fs::exists(SocketPath("driver")));
  EXPECT_FALSE(fs::exists(LockPath("driver")));
  EXPECT_EQ(AskInstance("driver", REQUEST_HELLO, 200ms), "");
  auto next = StartPrimary("driver", "kr450-cli run");
}

TEST_F(InstanceGuardTest, AFolderOthersCanReachIsRefused) {
  fs::create_directory(Folder());
  fs::permissions(Folder(), fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
  InstanceGuard::Acquired acquired = InstanceGuard::Acquire("driver", "kr450 window");
  EXPECT_EQ(acquired.outcome, InstanceGuard::Outcome::Error);
  EXPECT_NE(acquired.message.find(Folder()), std::string::npos) << acquired.message;
}

}  // namespace
}  // namespace kr450
