#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "config/clock.h"

namespace kr450 {

// The --trace output of a driver process. Lines come from the executor, the device link, the
// window and the steps of `sim` on different threads and must not mix.
class TraceOutput {
 public:
  TraceOutput(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
  bool enabled() const { return enabled_; }

  void Line(std::string_view text) {
    if (!enabled_) return;
    std::lock_guard lock(mutex_);
    out_ << text << std::endl;
  }
  // "text t=MS", milliseconds since the start with three decimals.
  void TimedLine(std::string_view text, Clock::TimePoint at) {
    char t[32];
    std::snprintf(t, sizeof t, " t=%.3f",
                  std::chrono::duration<double, std::milli>(at - start_).count());
    Line(std::string(text) + t);
  }
  void TimedLine(std::string_view text) { TimedLine(text, std::chrono::steady_clock::now()); }

 private:
  std::ostream& out_;
  const bool enabled_;
  const Clock::TimePoint start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;
};

}  // namespace kr450
