#include "device/resume_watcher.h"

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include "device_test_support.h"

namespace kr450 {
namespace {

using test::Eventually;

// A private message bus for the length of one test.
class PrivateBus {
 public:
  PrivateBus() {
    FILE* out =
        popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    if (out == nullptr) return;
    char line[512];
    if (fgets(line, sizeof line, out)) address_ = Trim(line);
    if (fgets(line, sizeof line, out)) pid_ = std::stoi(line);
    pclose(out);
  }
  ~PrivateBus() {
    if (pid_ > 0) kill(pid_, SIGTERM);
  }
  const std::string& address() const { return address_; }

  // Sends logind's PrepareForSleep(sleeping) signal on the bus.
  bool EmitPrepareForSleep(bool sleeping) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) return false;
    bool ok = sd_bus_set_address(bus, address_.c_str()) >= 0 &&
              sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0 &&
              sd_bus_emit_signal(bus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                 "PrepareForSleep", "b", sleeping ? 1 : 0) >= 0 &&
              sd_bus_flush(bus) >= 0;
    sd_bus_flush_close_unref(bus);
    return ok;
  }

 private:
  static std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
  }
  std::string address_;
  int pid_ = -1;
};

TEST(LogindResumeWatcher, CallsBackOnResumeOnly) {
  PrivateBus bus;
  if (bus.address().empty()) GTEST_SKIP() << "dbus-daemon is not installed";
  std::atomic<int> resumes{0};
  auto watcher = MakeLogindResumeWatcher(bus.address());
  ASSERT_TRUE(watcher->Start([&] { ++resumes; }));
  ASSERT_TRUE(bus.EmitPrepareForSleep(true));  // going to sleep: nothing to do yet
  ASSERT_TRUE(bus.EmitPrepareForSleep(false));
  ASSERT_TRUE(Eventually([&] { return resumes.load() == 1; }));
  ASSERT_TRUE(bus.EmitPrepareForSleep(false));
  ASSERT_TRUE(Eventually([&] { return resumes.load() == 2; }));
  watcher->Stop();
  watcher->Stop();
}

TEST(LogindResumeWatcher, WithoutABusItNeitherStartsNorFails) {
  auto watcher = MakeLogindResumeWatcher("unix:path=/nonexistent/kr450-bus");
  EXPECT_FALSE(watcher->Start([] { FAIL() << "no bus, no resume"; }));
  watcher->Stop();
}

}  // namespace
}  // namespace kr450
