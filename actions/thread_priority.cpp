#include "actions/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace kr450 {

bool RaiseCurrentThreadPriority() {
  constexpr int ABOVE_NORMAL = -5;
  // On Linux a thread id names the thread alone.
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), ABOVE_NORMAL) == 0;
}

}  // namespace kr450
