#include "device/wakeable_clock.h"

namespace kr450 {

void WakeableClock::SleepUntil(TimePoint deadline) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, deadline, [this] { return woken_; });
}

void WakeableClock::SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, deadline, [&] { return woken_ || stop.load(); });
}

// Taking the mutex orders the notification after a sleeper's last look at its flag: a stop
// set just before it cannot be missed.
void WakeableClock::Wake() {
  { std::lock_guard lock(mutex_); }
  wake_.notify_all();
}

void WakeableClock::WakeAll() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

void FakeStoppableClock::SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) {
  if (!stop.load()) time_.SleepUntil(deadline);
}

}  // namespace kr450
