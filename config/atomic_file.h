#pragma once

#include <string>
#include <string_view>

#include "config/status.h"

namespace kr450 {

// The infix of the temporaries of an atomic replace: ".config.ini" + this + six characters
// of mkstemp. Only names of this form are ever removed as left over from a killed write.
inline constexpr std::string_view ATOMIC_TEMP_INFIX = ".kr450-tmp-";

// The temporary name pattern of a replace of the file named `fileName`, for mkstemp.
std::string AtomicTempPattern(std::string_view fileName);
// Whether `name` is a temporary of a replace of `fileName`.
bool IsAtomicTempOf(std::string_view name, std::string_view fileName);

// Writes bytes to path so that a kill at any moment leaves the old file or the new one:
// temporary file in the same folder, fsync, rename, permissions and owner kept, the folder
// flushed. A symbolic link is followed and the file it points to replaced. Only a regular
// file or a missing one is replaced; a read-only file stays, for root too. Used by every
// writer of the driver's files.
Status ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace kr450
