#pragma once

namespace kr450 {

// Raises the calling thread above normal priority (nice -5), as the workers that turn presses
// into input want to be scheduled promptly on a busy desktop. Needs the right to raise
// priority (CAP_SYS_NICE or a nice limit that allows it); without it the thread keeps its
// priority and the call returns false.
bool RaiseCurrentThreadPriority();

}  // namespace kr450
