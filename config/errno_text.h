#pragma once

#include <string>

namespace kr450 {

// The system's text for an errno value. Safe on any thread, unlike strerror, whose buffer a
// worker's call may overwrite while another thread still reads it.
std::string ErrnoText(int error);

}  // namespace kr450
