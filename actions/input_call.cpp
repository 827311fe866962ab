#include "actions/input_call.h"

#include <cstdio>

#include "actions/key_table.h"

namespace kr450 {

std::string_view MouseButtonName(MouseButton button) {
  switch (button) {
    case MouseButton::Left:
      return "left";
    case MouseButton::Right:
      return "right";
    case MouseButton::Middle:
      return "middle";
  }
  return "?";
}

std::string_view ProgramName(Program program) {
  return program == Program::Calculator ? "calculator" : "terminal";
}

InputCall InputCall::Key(uint8_t vk, uint8_t scan, uint32_t flags) {
  InputCall call;
  call.kind = Kind::Key;
  call.vk = vk;
  call.scan = scan;
  call.flags = flags;
  call.down = (flags & KEY_FLAG_UP) == 0;
  return call;
}

InputCall InputCall::Button(MouseButton button, bool down) {
  InputCall call;
  call.kind = Kind::Button;
  call.button = button;
  call.down = down;
  return call;
}

InputCall InputCall::Simple(Kind kind) {
  InputCall call;
  call.kind = kind;
  return call;
}

InputCall InputCall::Start(Program program) {
  InputCall call;
  call.kind = Kind::Start;
  call.program = program;
  return call;
}

InputCall InputCall::Speed(int speed) {
  InputCall call;
  call.kind = Kind::SetSpeed;
  call.speed = speed;
  return call;
}

std::string FormatInputCall(const InputCall& call) {
  char text[64];
  switch (call.kind) {
    case InputCall::Kind::Key:
      std::snprintf(text, sizeof text, "key %s vk=0x%02X scan=0x%02X ext=%d",
                    call.down ? "down" : "up", call.vk, call.scan,
                    (call.flags & KEY_FLAG_EXTENDED) != 0 ? 1 : 0);
      return text;
    case InputCall::Kind::Button:
      return "button " + std::string(MouseButtonName(call.button)) + (call.down ? " down" : " up");
    case InputCall::Kind::Lock:
      return "lock";
    case InputCall::Kind::OpenComputer:
      return "open-computer";
    case InputCall::Kind::Start:
      return "start " + std::string(ProgramName(call.program));
    case InputCall::Kind::SetSpeed:
      return "speed " + std::to_string(call.speed);
  }
  return "?";
}

}  // namespace kr450
