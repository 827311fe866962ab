#include "config/errno_text.h"

#include <string.h>

namespace kr450 {
namespace {

// strerror_r comes in two forms: the GNU one returns the text (which may not be in the
// buffer), the POSIX one fills the buffer and returns 0 on success.
[[maybe_unused]] std::string FromStrerrorR(const char* text, const char*, int) {
  return text;
}
[[maybe_unused]] std::string FromStrerrorR(int result, const char* buffer, int error) {
  return result == 0 ? std::string(buffer) : "error " + std::to_string(error);
}

}  // namespace

std::string ErrnoText(int error) {
  char buffer[256] = {};
  return FromStrerrorR(strerror_r(error, buffer, sizeof buffer), buffer, error);
}

}  // namespace kr450
