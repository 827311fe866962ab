#pragma once

#include <memory>
#include <string>

#include "actions/input_synth.h"

namespace kr450 {

inline constexpr const char* UINPUT_DEVICE_PATH = "/dev/uinput";

// The backend for sessions without X11 (Wayland, the console): a virtual keyboard and mouse
// made through uinput, which every display server reads like a real device; the shell
// operations by starting programs. The pointer speed cannot be read or set this way, so the
// apply step leaves it alone. Nothing (and the reason in *error) when `devicePath` is missing
// or may not be opened.
std::unique_ptr<InputSynth> MakeUinputInput(const std::string& devicePath, std::string* error);

}  // namespace kr450
