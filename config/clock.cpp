#include "config/clock.h"

#include <thread>

namespace kr450 {

void SteadyClock::SleepUntil(TimePoint deadline) {
  std::this_thread::sleep_until(deadline);
}

Clock::TimePoint FakeClock::Now() {
  std::lock_guard lock(mutex_);
  return now_;
}

void FakeClock::SleepUntil(TimePoint deadline) {
  std::lock_guard lock(mutex_);
  Duration pause = deadline > now_ ? deadline - now_ : Duration::zero();
  pauses_.push_back(pause);
  now_ += pause;
}

void FakeClock::Advance(Duration d) {
  std::lock_guard lock(mutex_);
  now_ += d;
}

std::vector<Clock::Duration> FakeClock::Pauses() {
  std::lock_guard lock(mutex_);
  return pauses_;
}

}  // namespace kr450
