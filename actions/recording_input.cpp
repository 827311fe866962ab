#include "actions/recording_input.h"

namespace kr450 {

bool RecordingInput::Record(InputCall call) {
  if (clock_ != nullptr) call.at = clock_->Now();
  std::lock_guard lock(mutex_);
  calls_.push_back(call);
  return true;
}

bool RecordingInput::KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) {
  return Record(InputCall::Key(vk, scan, flags));
}

bool RecordingInput::MouseButtonEvent(MouseButton button, bool down) {
  return Record(InputCall::Button(button, down));
}

bool RecordingInput::LockSession() {
  return Record(InputCall::Simple(InputCall::Kind::Lock));
}

bool RecordingInput::OpenComputer() {
  return Record(InputCall::Simple(InputCall::Kind::OpenComputer));
}

bool RecordingInput::StartProgram(Program program) {
  return Record(InputCall::Start(program));
}

std::optional<int> RecordingInput::GetPointerSpeed() {
  std::lock_guard lock(mutex_);
  return speed_;
}

bool RecordingInput::SetPointerSpeed(int speed) {
  if (speed < MIN_POINTER_SPEED || speed > MAX_POINTER_SPEED) return false;
  Record(InputCall::Speed(speed));
  std::lock_guard lock(mutex_);
  speed_ = speed;
  return true;
}

std::vector<InputCall> RecordingInput::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<std::string> RecordingInput::Lines() const {
  std::vector<std::string> lines;
  for (const InputCall& call : Calls()) lines.push_back(FormatInputCall(call));
  return lines;
}

void RecordingInput::Clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

}  // namespace kr450
