#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "config/clock.h"

namespace kr450 {

// A clock whose sleeps a worker's stop can cut short. The workers that the window starts and
// stops (the prompt blink, the input reader's back-off) sleep on one with their own stop flag,
// and their Stop() sets the flag and calls Wake(): a stop never waits out a sleep, and the
// other workers' sleeps go on. Any thread.
class StoppableClock : public Clock {
 public:
  using Clock::SleepUntil;
  // Sleeps until the deadline, or returns as soon as `stop` is set and Wake() or WakeAll()
  // is called (at once when `stop` is already set).
  virtual void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) = 0;
  // Every sleeper looks at its stop flag again.
  virtual void Wake() = 0;
  // Ends every sleep under way and every later one, for good (the close of the driver).
  virtual void WakeAll() = 0;
};

// The steady clock with sleeps that can be cut short.
class WakeableClock final : public StoppableClock {
 public:
  using StoppableClock::SleepUntil;
  TimePoint Now() override { return std::chrono::steady_clock::now(); }
  void SleepUntil(TimePoint deadline) override;
  void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) override;
  void Wake() override;
  void WakeAll() override;

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
};

// Test time for those workers: a sleep records the pause and advances time at once, as
// FakeClock's do; a sleep whose stop flag is set returns without a pause.
class FakeStoppableClock final : public StoppableClock {
 public:
  using StoppableClock::SleepUntil;
  TimePoint Now() override { return time_.Now(); }
  void SleepUntil(TimePoint deadline) override { time_.SleepUntil(deadline); }
  void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) override;
  void Wake() override {}
  void WakeAll() override {}
  std::vector<Duration> Pauses() { return time_.Pauses(); }

 private:
  FakeClock time_;
};

}  // namespace kr450
