#pragma once

#include <chrono>
#include <mutex>
#include <vector>

namespace kr450 {

// Time source of the workers. Now() never blocks; SleepUntil() blocks the calling thread until
// the deadline (or returns at once when it has passed). Called from any thread.
class Clock {
 public:
  using Duration = std::chrono::nanoseconds;
  using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

  virtual ~Clock() = default;
  virtual TimePoint Now() = 0;
  virtual void SleepUntil(TimePoint deadline) = 0;
  void SleepFor(Duration d) { SleepUntil(Now() + d); }
};

class SteadyClock final : public Clock {
 public:
  TimePoint Now() override { return std::chrono::steady_clock::now(); }
  void SleepUntil(TimePoint deadline) override;
};

// Test clock: a sleep records the pause and advances time at once.
class FakeClock final : public Clock {
 public:
  TimePoint Now() override;
  void SleepUntil(TimePoint deadline) override;
  void Advance(Duration d);
  std::vector<Duration> Pauses();

 private:
  std::mutex mutex_;
  TimePoint now_{};
  std::vector<Duration> pauses_;
};

}  // namespace kr450
