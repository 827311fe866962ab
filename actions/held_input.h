#pragma once

#include <cstdint>
#include <vector>

#include "actions/input_synth.h"

namespace kr450 {

// The keys and mouse buttons a macro playback has pressed and not yet released, in the order
// they went down, so that a playback can let go of them when it ends, early or not: on Linux
// a key left down repeats without end.
class HeldInput {
 public:
  void Press(uint8_t keyCode);  // a virtual key, or a mouse button code (240 and up)
  void Release(uint8_t keyCode);
  // Sends the release of everything held, last pressed first, and forgets it.
  void ReleaseAll(InputSynth& input);
  bool empty() const { return held_.empty(); }
  const std::vector<uint8_t>& held() const { return held_; }

 private:
  std::vector<uint8_t> held_;  // mouse buttons as 240, 241, 242
};

// The mouse button of a macro key code 240 and up: 240 left, 241 right, any higher middle.
MouseButton MouseButtonForKeyCode(uint8_t keyCode);
// A macro event's key code as the held-input bookkeeping counts it (mouse codes above 242
// are the middle button).
uint8_t HeldCodeFor(uint8_t keyCode);

// Sends one key of a macro or chord: its scan code and, for the keys that have one, the
// extended flag.
void SendKey(InputSynth& input, uint8_t vk, bool down);

}  // namespace kr450
