#include "actions/thread_priority.h"

#include "device/worker_scheduling.h"

namespace kr450 {

bool ResetCurrentThreadPriority() {
  return ResetCurrentThreadScheduling();
}

}  // namespace kr450
