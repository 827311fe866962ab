#pragma once

#include <string>
#include <string_view>

#include "config/status.h"

// Where a driver's single-instance files lie and by which key a driver is found.
namespace kr450 {

// The driver of the real mouse: one per user, whether it is the window or `kr450-cli run`.
inline constexpr std::string_view DRIVER_INSTANCE_KEY = "driver";

// A simulated session meets no real driver: it is keyed by its data folder's canonical path,
// so that two starts on one folder are one instance and sessions on different folders run
// side by side. "sim-" and 16 hexadecimal digits.
std::string SimulatedInstanceKey(const std::string& dataDirectory);

// The key for a session: simulated or not, on `dataDirectory`.
std::string InstanceKey(bool simulate, const std::string& dataDirectory);

// The user's private folder of instance files: $XDG_RUNTIME_DIR/kr450 when that variable names
// a folder of this user, else /tmp/kr450-UID. Created with mode 0700 when missing.
Status InstanceFolder(std::string* folder);

// The files of the driver of `key` in `folder`: the lock its holder keeps, the socket it
// listens on.
std::string InstanceLockPath(const std::string& folder, std::string_view key);
std::string InstanceSocketPath(const std::string& folder, std::string_view key);

// Creates `folder` with mode 0700, or checks the one that is there: a real folder (not a
// symbolic link) owned by this user, without rights for the group or others. Anything else is
// refused: another user could read or replace the files in it.
Status PreparePrivateFolder(const std::string& folder);

}  // namespace kr450
