#include "device/resume_watcher.h"

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include "device/device_stack.h"
#include "device_test_support.h"

namespace kr450 {
namespace {

using test::Eventually;
using test::Report;

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

// A driver's device side on the simulated mouse, resumes heard on a private bus or on none.
class DeviceStackResume : public ::testing::Test {
 protected:
  DeviceStackResume() {
    state.configFilePath = dir.File("config.ini");
    state.mainPageShown = false;  // the blink worker of the factory prompt ends at once
    state.WithConfig([](ConfigState& s) {
      s.currentConfig = 1;
      s.config = FactoryConfig(DeviceConfig{});
      s.config.pointerSpeed = 10;
    });
  }

  std::unique_ptr<DeviceStack> MakeStack(std::string busAddress) {
    return std::make_unique<DeviceStack>(
        state, pointer, window, clock,
        DeviceStack::Options{.simulate = true, .resumeBusAddress = std::move(busAddress)});
  }

  test::ScratchDir dir;
  DriverState state;
  RecordingPointerSpeed pointer;
  test::CountingWindow window;
  FakeStoppableClock clock;
};

TEST_F(DeviceStackResume, AResumeOnTheBusAppliesTheConfigurationAgain) {
  PrivateBus bus;
  if (bus.address().empty()) GTEST_SKIP() << "dbus-daemon is not installed";
  auto stack = MakeStack(bus.address());
  ASSERT_TRUE(stack->watchingResume());
  SimulatedMouse& mouse = *stack->simulatedMouse();
  ASSERT_TRUE(stack->link().OpenDevice());
  stack->link().ApplyConfig();
  mouse.ClearFeatureReports();

  // Signals arrive in order: had going to sleep applied, its reports would come first.
  ASSERT_TRUE(bus.EmitPrepareForSleep(true));
  ASSERT_TRUE(bus.EmitPrepareForSleep(false));
  ASSERT_TRUE(Eventually([&] { return mouse.FeatureReports().size() >= 8; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(mouse.FeatureReports(), (std::vector<std::vector<uint8_t>>{
                                        Report(0x10, 1, 1), Report(0x10, 2, 2), Report(0x10, 3, 3),
                                        Report(0x10, 5, 5), Report(0x10, 4, 4), Report(0x10, 6, 31),
                                        Report(0x11, 0, 0), Report(0x09, 0, 0x90)}));
  stack.reset();  // the watcher ends before the link it calls
}

TEST_F(DeviceStackResume, WithoutABusOrWhenTurnedOffTheStackRunsWithoutResumes) {
  auto stack = MakeStack("unix:path=/nonexistent/kr450-bus");
  EXPECT_FALSE(stack->watchingResume());
  ASSERT_TRUE(stack->link().OpenDevice());
  EXPECT_EQ(stack->link().ApplyConfig().reportsSent, 8);

  PrivateBus bus;
  if (bus.address().empty()) return;
  DeviceStack off(state, pointer, window, clock,
                  {.simulate = true, .watchResume = false, .resumeBusAddress = bus.address()});
  EXPECT_FALSE(off.watchingResume());
}

}  // namespace
}  // namespace kr450
