#pragma once

#include <memory>
#include <string>

#include "actions/input_synth.h"

namespace kr450 {

// The X11 backend: key and button events through the XTest extension, the pointer speed as
// the core pointer control and the libinput acceleration of every pointer device, the shell
// operations by starting programs. Letters and digits go to the keys that type them in the
// current keymap (shortcuts follow the layout), the other keys by their position. Opens its
// own connection to `displayName` (the DISPLAY variable when null). Nothing (and the reason
// in *error) when there is no display or it lacks XTest.
std::unique_ptr<InputSynth> MakeXTestInput(const char* displayName, std::string* error);

}  // namespace kr450
