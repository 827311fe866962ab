#pragma once

#include <memory>

#include "macro/keyboard_capture.h"

namespace kr450 {

// The X11 capture: while it runs, an active grab of the whole keyboard on the root window,
// from a connection of its own, so that no other client receives a key event. Each key event
// becomes a pair: letters and digits by what the key types in the current keymap, the other
// keys by their position through the key table; auto-repeat arrives as repeated key-downs.
// The connection exists only while the capture runs. The server ends the grab when the
// connection closes, which the kernel does when the process ends, by a crash signal too.
// `displayName` null: the DISPLAY variable.
std::unique_ptr<KeyboardCapture> MakeX11KeyboardCapture(const char* displayName);

}  // namespace kr450
