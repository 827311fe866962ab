#include "device/pointer_speed.h"

namespace kr450 {

std::optional<int> RecordingPointerSpeed::GetPointerSpeed() {
  std::lock_guard lock(mutex_);
  if (!readable_) return std::nullopt;
  return speed_;
}

bool RecordingPointerSpeed::SetPointerSpeed(int speed) {
  if (speed < MIN_POINTER_SPEED || speed > MAX_POINTER_SPEED) return false;
  std::lock_guard lock(mutex_);
  speed_ = speed;
  set_.push_back(speed);
  return true;
}

void RecordingPointerSpeed::SetReadable(bool readable) {
  std::lock_guard lock(mutex_);
  readable_ = readable;
}

std::vector<int> RecordingPointerSpeed::SpeedsSet() {
  std::lock_guard lock(mutex_);
  return set_;
}

}  // namespace kr450
