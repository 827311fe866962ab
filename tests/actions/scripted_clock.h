#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "config/clock.h"

namespace kr450 {

// A test clock whose sleeps return at once, advancing time to the deadline (plus an optional
// lateness, as a real system oversleeps). Actions scheduled for a time run while a sleep
// passes that time, as a report arriving during a delay would: they see the state as it is
// in the middle of the sleep.
class ScriptedClock final : public Clock {
 public:
  using Ms = std::chrono::duration<double, std::milli>;

  TimePoint Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }

  void SleepUntil(TimePoint deadline) override {
    std::vector<std::function<void()>> due;
    {
      std::lock_guard lock(mutex_);
      TimePoint end = std::max(now_, deadline) + lateness_;
      pauses_.push_back(end - now_);
      for (auto it = actions_.begin(); it != actions_.end() && it->first <= end;) {
        due.push_back(std::move(it->second));
        it = actions_.erase(it);
      }
      now_ = end;
    }
    for (auto& action : due) action();
  }

  // Runs `action` during the sleep that passes `at` (milliseconds from time zero).
  void At(double atMs, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    actions_.emplace(TimePoint(std::chrono::duration_cast<Duration>(Ms(atMs))), std::move(action));
  }
  void SetLateness(Duration lateness) { lateness_ = lateness; }
  // Time passes without a sleep, as while a call blocks or the process is stopped. From an
  // action, the sleep that runs it ends that much later.
  void Advance(Duration d) {
    std::lock_guard lock(mutex_);
    now_ += d;
  }

  // Milliseconds from time zero.
  static double MsOf(TimePoint t) { return Ms(t.time_since_epoch()).count(); }
  std::vector<Duration> Pauses() {
    std::lock_guard lock(mutex_);
    return pauses_;
  }

 private:
  std::mutex mutex_;
  TimePoint now_{};
  Duration lateness_{0};
  std::multimap<TimePoint, std::function<void()>> actions_;
  std::vector<Duration> pauses_;
};

}  // namespace kr450
