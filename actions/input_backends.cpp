#include "actions/input_backends.h"

#include <cstdlib>

#include "actions/recording_input.h"
#include "actions/uinput_input.h"
#include "actions/xtest_input.h"

namespace kr450 {

std::string_view DefaultInputChoice(const char* display) {
  return display != nullptr && display[0] != '\0' ? "xtest" : "uinput";
}

std::unique_ptr<InputSynth> MakeInputSynth(std::string_view choice, std::string* chosen,
                                           std::string* error) {
  if (choice.empty()) choice = DefaultInputChoice(std::getenv("DISPLAY"));
  if (chosen != nullptr) *chosen = std::string(choice);
  if (choice == "xtest") return MakeXTestInput(nullptr, error);
  if (choice == "uinput") return MakeUinputInput(UINPUT_DEVICE_PATH, error);
  if (choice == "record") return std::make_unique<RecordingInput>();
  if (error != nullptr) *error = "unknown input backend " + std::string(choice);
  return nullptr;
}

}  // namespace kr450
