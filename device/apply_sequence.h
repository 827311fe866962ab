#pragma once

#include <mutex>

#include "config/driver_state.h"
#include "device/apply_step.h"

namespace kr450 {

// Runs the applies one at a time, so the reports of two never interleave, and decides what a
// resume from sleep does: the configuration is applied again (the mouse may have lost power),
// but only between the first apply and the close. Any thread.
class ApplySequence {
 public:
  ApplySequence(const DriverState& state, ApplyStep& step) : state_(state), step_(step) {}

  ApplyOutcome Apply();
  // The system resumed: applies again unless nothing was applied yet or the driver closes.
  void OnResume();
  // The driver says goodbye: an apply under way ends first, and no resume applies after it.
  void Close();

 private:
  const DriverState& state_;
  ApplyStep& step_;
  std::mutex mutex_;      // one apply at a time; guards the two flags below
  bool applied_ = false;  // an apply has run: a resume has something to apply again
  bool closed_ = false;
};

}  // namespace kr450
