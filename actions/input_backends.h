#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "actions/input_synth.h"

namespace kr450 {

// The backend to use for a --input choice: "xtest", "uinput", "record", or "" for the
// default, the first of DefaultInputChoices for this environment that opens. Nothing, with the
// reason in *error, when the chosen backend (every default one) cannot be opened. *chosen
// names the backend opened, or the ones tried.
std::unique_ptr<InputSynth> MakeInputSynth(std::string_view choice, std::string* chosen,
                                           std::string* error);

// The backends the default tries, in order, for these DISPLAY and WAYLAND_DISPLAY values
// (null when unset). Under Wayland uinput comes first: XTest there reaches only the X11
// programs that XWayland runs. XTest is still tried when a display is there, as uinput needs
// the right to open /dev/uinput.
std::vector<std::string_view> DefaultInputChoices(const char* display, const char* waylandDisplay);

}  // namespace kr450
