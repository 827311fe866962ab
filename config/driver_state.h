#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "config/device_config.h"

namespace kr450 {

inline constexpr uint32_t KR450_VENDOR_ID = 0x18F8;
inline constexpr uint32_t KR450_PRODUCT_ID = 0x0F99;

// The configuration being edited and its applied copies. Only reached through
// DriverState::WithConfig / Snapshot, under the state's one mutex.
struct ConfigState {
  int currentConfig = 0;  // 1..5; 0 when the file names none
  DeviceConfig config{};
  std::array<uint8_t, STAGE_COUNT> appliedDpiStage{};  // config.dpiStage at the last apply
  uint8_t appliedLedStatus = 0;                        // config.ledStatus at the last apply
  std::array<int32_t, BUTTON_COUNT> dpiAction{};       // per button, fixed at the last apply

  friend bool operator==(const ConfigState&, const ConfigState&) = default;
};

// The state the whole driver shares: the window thread, the input reader, the action
// executor and the prompt blink worker. The hand-off flags are atomics; the configuration is
// behind one mutex that is never held across a sleep or a device call.
class DriverState {
 public:
  const uint32_t vendorId = KR450_VENDOR_ID;
  const uint32_t productId = KR450_PRODUCT_ID;

  // Set once before any worker starts.
  std::string configFilePath;

  // Device link.
  std::atomic<bool> deviceFound{false};

  // Worker coordination.
  std::atomic<bool> driverRunning{true};  // false while the click prompt waits
  std::atomic<int32_t> promptButton{0};   // button 1..6 the prompt names
  std::atomic<bool> promptBlink{false};
  std::atomic<bool> promptWorkerStarted{false};
  std::atomic<bool> promptBlinkRunning{false};
  std::atomic<int32_t> pressPending{0};  // 1: a press waits for the executor
  std::atomic<uint8_t> pressCode{0};     // input code 241..255 of that press
  std::atomic<int32_t> stopRequested{0};
  std::atomic<bool> shutdownRequested{false};  // wakes and ends every worker

  // Window state the workers read: whether the main page shows (the click prompt blinks only
  // there). The window keeps it in step with its page.
  std::atomic<bool> mainPageShown{true};

  // Runs f(ConfigState&) under the configuration mutex and returns its result. f must not
  // sleep, block on a device or call back into WithConfig.
  template <typename F>
  auto WithConfig(F&& f) {
    std::lock_guard lock(mutex_);
    return f(guarded_);
  }

  ConfigState Snapshot() const {
    std::lock_guard lock(mutex_);
    return guarded_;
  }

  DeviceConfig Config() const {
    std::lock_guard lock(mutex_);
    return guarded_.config;
  }

 private:
  mutable std::mutex mutex_;
  ConfigState guarded_;
};

}  // namespace kr450
