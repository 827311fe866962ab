#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "actions/input_call.h"
#include "actions/input_synth.h"
#include "config/clock.h"

namespace kr450 {

// Test and --simulate backend: records every call with its arguments and the clock's time,
// in order, and keeps the pointer speed (10 at first). Reaches nothing outside the process.
class RecordingInput final : public InputSynth {
 public:
  explicit RecordingInput(Clock* clock = nullptr) : clock_(clock) {}

  bool KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override;
  bool MouseButtonEvent(MouseButton button, bool down) override;
  bool LockSession() override;
  bool OpenComputer() override;
  bool StartProgram(Program program) override;
  std::optional<int> GetPointerSpeed() override;
  bool SetPointerSpeed(int speed) override;

  std::vector<InputCall> Calls() const;
  // The calls as FormatInputCall gives them.
  std::vector<std::string> Lines() const;
  void Clear();

 private:
  bool Record(InputCall call);

  Clock* clock_;
  mutable std::mutex mutex_;
  std::vector<InputCall> calls_;
  int speed_ = DEFAULT_POINTER_SPEED;
};

}  // namespace kr450
