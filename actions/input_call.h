#pragma once

#include <cstdint>
#include <string>

#include "actions/input_synth.h"
#include "config/clock.h"

namespace kr450 {

// One call of the InputSynth interface with its arguments, as the recording backend keeps it
// and the trace prints it.
struct InputCall {
  enum class Kind : uint8_t { Key, Button, Lock, OpenComputer, Start, SetSpeed };

  Kind kind = Kind::Key;
  uint8_t vk = 0;
  uint8_t scan = 0;
  uint32_t flags = 0;
  MouseButton button = MouseButton::Left;
  bool down = false;
  Program program = Program::Calculator;
  int speed = 0;
  Clock::TimePoint at{};  // when the call was made

  static InputCall Key(uint8_t vk, uint8_t scan, uint32_t flags);
  static InputCall Button(MouseButton button, bool down);
  static InputCall Simple(Kind kind);
  static InputCall Start(Program program);
  static InputCall Speed(int speed);
};

// "key down vk=0x41 scan=0x1E ext=0", "button left up", "speed 7", "lock", "open-computer",
// "start terminal".
std::string FormatInputCall(const InputCall& call);

}  // namespace kr450
