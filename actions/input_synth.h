#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device/pointer_speed.h"

namespace kr450 {

enum class MouseButton : uint8_t { Left, Right, Middle };
enum class Program : uint8_t { Calculator, Terminal };

std::string_view MouseButtonName(MouseButton button);  // "left", "right", "middle"
std::string_view ProgramName(Program program);         // "calculator", "terminal"

// Synthesised input, the shell operations and the pointer speed: everything the executor and
// the close sequence do to the rest of the desktop. Key codes are Windows virtual-key codes;
// the backends translate them through the key table.
//
// Called from the action executor and from the window thread (the close sequence);
// implementations serialise their own calls. No call blocks beyond a round trip to the display
// server or the kernel: programs are started in the background and never waited for. Results
// say whether the call reached the system; the driver does not act on them.
class InputSynth : public PointerSpeed {
 public:
  // One key event (flags KEY_FLAG_EXTENDED, KEY_FLAG_UP). A key without a counterpart on this
  // system is skipped (false), never sent as another key.
  virtual bool KeyEvent(uint8_t vk, uint8_t scan, uint32_t flags) = 0;
  virtual bool MouseButtonEvent(MouseButton button, bool down) = 0;
  // Locks the session: logind first, then the desktop's screen locker.
  virtual bool LockSession() = 0;
  // Opens the file manager at the computer's top view, or at the home folder.
  virtual bool OpenComputer() = 0;
  // Starts the first calculator or terminal found.
  virtual bool StartProgram(Program program) = 0;
};

}  // namespace kr450
