#include "device/wakeable_clock.h"

namespace kr450 {

void WakeableClock::SleepUntil(TimePoint deadline) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, deadline, [this] { return woken_; });
}

void WakeableClock::WakeAll() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

}  // namespace kr450
