#pragma once

#include <condition_variable>
#include <mutex>

#include "config/clock.h"

namespace kr450 {

// The steady clock, with sleeps that WakeAll() cuts short: at shutdown every worker that
// sleeps on it (the prompt blink, a paused reader, macro delays) returns at once, and every
// later sleep returns at once too. Any thread.
class WakeableClock final : public Clock {
 public:
  TimePoint Now() override { return std::chrono::steady_clock::now(); }
  void SleepUntil(TimePoint deadline) override;
  void WakeAll();

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
};

}  // namespace kr450
