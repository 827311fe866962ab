#include "actions/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kr450 {
namespace {

constexpr int NORMAL = 0;

// On Linux a thread id names the thread alone.
bool SetCurrentThreadNice(int value) {
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), value) == 0;
}

}  // namespace

bool RaiseCurrentThreadPriority() {
  constexpr int ABOVE_NORMAL = -5;
  return SetCurrentThreadNice(ABOVE_NORMAL);
}

bool ResetCurrentThreadPriority() {
  // The process id names the main thread, which never raises itself.
  errno = 0;
  int started = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
  if (errno != 0) started = NORMAL;
  return SetCurrentThreadNice(std::max(NORMAL, started));
}

}  // namespace kr450
