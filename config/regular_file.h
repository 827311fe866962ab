#pragma once

#include <cstddef>
#include <string>

#include "config/status.h"

namespace kr450 {

// Every file a user or a skin names (config.ini, macro files, imports and exports, skin
// files, the shipped defaults) goes through these two checks, so that a named pipe, a device,
// a folder or a socket at such a path is refused at once instead of being read until memory
// runs out, waited on for ever, or replaced by the atomic rename.

// Larger than any real profile, macro or skin layout file could be.
inline constexpr size_t MAX_USER_FILE_BYTES = size_t{16} << 20;

// The whole content of the regular file at `path` (symbolic links followed). Anything else,
// and a file larger than `maxBytes`, is refused without blocking and without reading from it.
// Nothing at the path (or a path through a file) gives a NotFound status.
Result<std::string> ReadRegularFile(const std::string& path, size_t maxBytes = MAX_USER_FILE_BYTES);

// Whether a write may put a file at `path`: ok when a regular file or nothing is there
// (symbolic links followed), else the reason. Opens nothing.
Status CheckWriteTarget(const std::string& path);

}  // namespace kr450
