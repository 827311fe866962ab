#pragma once

#include <functional>
#include <mutex>
#include <utility>

#include "actions/input_call.h"
#include "actions/input_synth.h"
#include "config/clock.h"

namespace kr450 {

// An InputSynth that shows every call as it is made (--trace) and passes it on to the backend
// it wraps. The observer sees the call, stamped with the clock's time, before the backend
// does, one call at a time.
class TracingInput final : public InputSynth {
 public:
  using Observer = std::function<void(const InputCall& call)>;

  TracingInput(InputSynth& inner, Clock& clock, Observer observer)
      : inner_(inner), clock_(clock), observer_(std::move(observer)) {}

  bool KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) override {
    Show(InputCall::Key(vk, scan, flags));
    return inner_.KeyEvent(vk, scan, flags);
  }
  bool MouseButtonEvent(MouseButton button, bool down) override {
    Show(InputCall::Button(button, down));
    return inner_.MouseButtonEvent(button, down);
  }
  bool LockSession() override {
    Show(InputCall::Simple(InputCall::Kind::Lock));
    return inner_.LockSession();
  }
  bool OpenComputer() override {
    Show(InputCall::Simple(InputCall::Kind::OpenComputer));
    return inner_.OpenComputer();
  }
  bool StartProgram(Program program) override {
    Show(InputCall::Start(program));
    return inner_.StartProgram(program);
  }
  std::optional<int> GetPointerSpeed() override { return inner_.GetPointerSpeed(); }
  bool SetPointerSpeed(int speed) override {
    Show(InputCall::Speed(speed));
    return inner_.SetPointerSpeed(speed);
  }

 private:
  void Show(InputCall call) {
    call.at = clock_.Now();
    std::lock_guard lock(mutex_);
    observer_(call);
  }

  InputSynth& inner_;
  Clock& clock_;
  Observer observer_;
  std::mutex mutex_;
};

}  // namespace kr450
