#include "actions/input_backends.h"

#include <cstdlib>

#include "actions/recording_input.h"
#include "actions/uinput_input.h"
#include "actions/xtest_input.h"

namespace kr450 {
namespace {

bool IsSet(const char* value) {
  return value != nullptr && value[0] != '\0';
}

std::unique_ptr<InputSynth> MakeOne(std::string_view choice, std::string* error) {
  if (choice == "xtest") return MakeXTestInput(nullptr, error);
  if (choice == "uinput") return MakeUinputInput(UINPUT_DEVICE_PATH, error);
  if (choice == "record") return std::make_unique<RecordingInput>();
  if (error != nullptr) *error = "unknown input backend " + std::string(choice);
  return nullptr;
}

}  // namespace

std::vector<std::string_view> DefaultInputChoices(const char* display, const char* waylandDisplay) {
  if (IsSet(waylandDisplay)) {
    if (IsSet(display)) return {"uinput", "xtest"};
    return {"uinput"};
  }
  if (IsSet(display)) return {"xtest"};
  return {"uinput"};
}

std::unique_ptr<InputSynth> MakeInputSynth(std::string_view choice, std::string* chosen,
                                           std::string* error) {
  std::vector<std::string_view> choices = {choice};
  if (choice.empty()) {
    choices = DefaultInputChoices(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
  }
  std::string tried, reasons;
  for (std::string_view one : choices) {
    std::string reason;
    if (std::unique_ptr<InputSynth> input = MakeOne(one, &reason)) {
      if (chosen != nullptr) *chosen = std::string(one);
      return input;
    }
    tried += (tried.empty() ? "" : ", then ") + std::string(one);
    reasons += (reasons.empty() ? "" : "; ") +
               (choices.size() > 1 ? std::string(one) + ": " + reason : reason);
  }
  if (chosen != nullptr) *chosen = tried;
  if (error != nullptr) *error = reasons;
  return nullptr;
}

}  // namespace kr450
