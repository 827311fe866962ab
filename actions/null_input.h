#pragma once

#include <atomic>
#include <optional>

#include "actions/input_synth.h"

namespace kr450 {

// The backend of a driver that runs without synthesised input (no display and no uinput):
// every call reaches nothing and returns false, except that the pointer speed is kept, so
// that the apply and the close sequence behave as elsewhere. Unlike the recording backend it
// keeps no calls, so a driver that runs for days does not grow; --trace still shows them.
class NullInput final : public InputSynth {
 public:
  bool KeyEvent(uint8_t, uint8_t, uint32_t) override { return false; }
  bool MouseButtonEvent(MouseButton, bool) override { return false; }
  bool LockSession() override { return false; }
  bool OpenComputer() override { return false; }
  bool StartProgram(Program) override { return false; }
  std::optional<int> GetPointerSpeed() override { return speed_.load(); }
  bool SetPointerSpeed(int speed) override {
    if (speed < MIN_POINTER_SPEED || speed > MAX_POINTER_SPEED) return false;
    speed_.store(speed);
    return true;
  }

 private:
  std::atomic<int> speed_{DEFAULT_POINTER_SPEED};
};

}  // namespace kr450
