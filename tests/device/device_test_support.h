#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "config/clock.h"
#include "config/config_store.h"
#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/device_link.h"
#include "device/pointer_speed.h"
#include "device/simulated_mouse.h"
#include "device/wakeable_clock.h"
#include "tests/support/counting_window.h"
#include "tests/support/scratch_dir.h"

namespace kr450::test {

// Bytes of a fixture written as hex pairs, with '#' comments.
inline std::vector<uint8_t> LoadHexFixture(const std::string& name) {
  std::ifstream in(std::string(KR450_FIXTURES) + "/device/" + name);
  std::vector<uint8_t> bytes;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string word;
    while (words >> word) bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
  }
  return bytes;
}

// Waits (briefly) for a condition another thread makes true.
template <typename F>
bool Eventually(F condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// A clock whose sleeps last until the test lets them go (or the sleeper's stop wakes it).
class GateClock final : public StoppableClock {
 public:
  using StoppableClock::SleepUntil;
  TimePoint Now() override { return {}; }
  void SleepUntil(TimePoint deadline) override {
    const std::atomic<bool> never{false};
    SleepUntil(deadline, never);
  }
  void SleepUntil(TimePoint, const std::atomic<bool>& stop) override {
    std::unique_lock lock(mutex_);
    ++sleepers_;
    open_.wait(lock, [&] { return released_ || stop.load(); });
    --sleepers_;
  }
  void Wake() override {
    { std::lock_guard lock(mutex_); }
    open_.notify_all();
  }
  void WakeAll() override { Release(); }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    open_.notify_all();
  }
  int Sleepers() {
    std::lock_guard lock(mutex_);
    return sleepers_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable open_;
  bool released_ = false;
  int sleepers_ = 0;
};

inline std::vector<uint8_t> Report(uint8_t command, uint8_t a, uint8_t b) {
  std::vector<uint8_t> report(SimulatedMouse::FEATURE_REPORT_LENGTH, 0);
  report[0] = 7;
  report[1] = command;
  report[2] = a;
  report[3] = b;
  return report;
}

// A device link on a simulated mouse, with config.ini in a folder of its own. The window is
// off the main page, so a blink worker started by an apply ends at once.
class DeviceLinkTest : public ::testing::Test {
 protected:
  DeviceLinkTest() {
    state.configFilePath = dir.File("config.ini");
    state.mainPageShown = false;
    SetConfig(1, [](DeviceConfig&) {});
  }

  template <typename F>
  void SetConfig(int current, F change) {
    state.WithConfig([&](ConfigState& s) {
      s.currentConfig = current;
      s.config = FactoryConfig(DeviceConfig{});
      s.config.pointerSpeed = 10;
      change(s.config);
    });
  }

  std::string Value(const std::string& section, const std::string& key) {
    return LoadIniFile(state.configFilePath).Get(section, key, 64);
  }

  ScratchDir dir;
  DriverState state;
  SimulatedMouse mouse;
  RecordingPointerSpeed pointer;
  CountingWindow window;
  FakeStoppableClock clock;
  DeviceLink link{state, mouse, pointer, window, clock};
};

}  // namespace kr450::test
