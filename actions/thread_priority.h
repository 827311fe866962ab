#pragma once

namespace kr450 {

// Puts the calling thread back at normal scheduling (SCHED_OTHER, nice 0, or the process's own
// nice value when the driver was started below normal); see ResetCurrentThreadScheduling. The
// executor runs real-time or at a raised nice value where the system allows it
// (ScheduleCurrentThreadPromptly); whatever starts programs for the desktop calls this first,
// so that neither its threads nor the programs inherit that.
bool ResetCurrentThreadPriority();

}  // namespace kr450
