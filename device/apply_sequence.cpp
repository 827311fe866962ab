#include "device/apply_sequence.h"

namespace kr450 {

ApplyOutcome ApplySequence::Apply() {
  std::lock_guard lock(mutex_);
  applied_ = true;
  return step_.Run();
}

void ApplySequence::OnResume() {
  std::lock_guard lock(mutex_);
  if (!applied_ || closed_ || state_.shutdownRequested.load()) return;
  (void)step_.Run();
}

void ApplySequence::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
}

}  // namespace kr450
