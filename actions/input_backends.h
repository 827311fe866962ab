#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "actions/input_synth.h"

namespace kr450 {

// The backend to use for a --input choice: "xtest", "uinput", "record", or "" for the
// default, XTest when DISPLAY is set and uinput otherwise. Nothing, with the reason in
// *error, when the chosen backend cannot be opened. *chosen names the backend tried.
std::unique_ptr<InputSynth> MakeInputSynth(std::string_view choice, std::string* chosen,
                                           std::string* error);

// The default choice for an environment with this DISPLAY value (null when unset).
std::string_view DefaultInputChoice(const char* display);

}  // namespace kr450
