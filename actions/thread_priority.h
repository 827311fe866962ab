#pragma once

namespace kr450 {

// Raises the calling thread above normal priority (nice -5), as the workers that turn presses
// into input want to be scheduled promptly on a busy desktop. Needs the right to raise
// priority (CAP_SYS_NICE or a nice limit that allows it); without it the thread keeps its
// priority and the call returns false.
bool RaiseCurrentThreadPriority();

// Puts the calling thread back at normal priority: nice 0, or the process's own nice value
// when the driver was started below normal. Lowering one's own priority needs no right, so
// this succeeds after RaiseCurrentThreadPriority. Threads (and the programs they start)
// inherit the value, hence this in whatever starts programs for the desktop.
bool ResetCurrentThreadPriority();

}  // namespace kr450
