// What each control of the main window does: one command per control, called by the
// dispatch in window_controller.cpp with the entry of its table.

#include <string_view>

#include "config/config_store.h"
#include "macro/macro_file.h"
#include "ui/skin_roles.h"
#include "ui/ui_texts.h"
#include "ui/window_controller.h"

namespace kr450 {
namespace {

constexpr std::string_view CONFIG_FILTER = "All Files(*.ini)";
constexpr std::string_view CONFIG_PATTERN = "*.ini";
constexpr std::string_view CONFIG_EXTENSION = "ini";
constexpr std::string_view MACRO_FILTER = "All Files(*.dat)";
constexpr std::string_view MACRO_PATTERN = "*.dat";
constexpr std::string_view MACRO_EXTENSION = "dat";

}  // namespace

// A macro file that could not be read is shown as missing; any other failure as it is.
void WindowController::ReportMacroFile(const Status& status) {
  if (status.notFound()) {
    actions_.ShowError(FILE_MISSING_TEXT);
  } else {
    Report(status);
  }
}

// The control fired and the window goes: it must not keep its hover look when it comes back,
// and the next pointer move over it must light it again.
void WindowController::ForgetMainHover() {
  pointer_.hoverMain = NO_CONTROL;
  pointer_.lastHoverMain = NO_CONTROL;
}

void WindowController::HideOrMinimise() {
  // Without a notification area a hidden window could not be brought back.
  if (actions_.TrayAvailable()) {
    actions_.HideToTray();
  } else {
    actions_.Minimise();
  }
}

void WindowController::Save(int) {
  Report(SaveCurrentConfig(state_));
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::RevertAndHide(int) {
  ForgetMainHover();
  const Status status = RevertToApplied(state_);
  if (status.ok()) {
    HideOrMinimise();
  } else {
    // Nothing was reverted: the user stays with the window and is told why.
    Report(status);
  }
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::Apply(int) {
  Report(actions_.Apply());
}

void WindowController::SelectConfiguration(int index) {
  SelectConfig(state_, index - main_item::Config(1) + 1);
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::ShowPageOfTab(int index) {
  switch (index) {
    case main_item::TAB_ADVANCED:
      SwitchPage(PAGE_ADVANCED);
      break;
    case main_item::TAB_LIGHTING:
      SwitchPage(PAGE_LIGHTING);
      break;
    default:
      SwitchPage(PAGE_MAIN);
      break;
  }
}

void WindowController::Minimise(int) {
  ForgetMainHover();
  actions_.Minimise();
}

void WindowController::Close(int) {
  ForgetMainHover();
  HideOrMinimise();
}

void WindowController::ImportConfiguration(int) {
  const auto path =
      actions_.ChooseFile({false, CONFIG_FILTER, CONFIG_PATTERN, {}, paths_.dataDirectory});
  AfterModal();
  if (!path) return;
  Report(ImportConfig(state_, *path));
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::ExportConfiguration(int) {
  const auto path = actions_.ChooseFile(
      {true, CONFIG_FILTER, CONFIG_PATTERN, CONFIG_EXTENSION, paths_.dataDirectory});
  AfterModal();
  if (!path) return;
  Report(ExportConfig(state_, *path));
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::Reset(int) {
  ResetSteps steps;
  steps.resetMacros = [this] {
    ReportMacroFile(ResetMacrosToDefaults(macros_, paths_.skinDirectory + "/defMacro.dat",
                                          paths_.dataDirectory + "/Macro.dat"));
    AfterModal();
    if (page() == PAGE_ADVANCED) {
      actions_.RefreshMacroList();
      actions_.Repaint(RepaintArea::Window);
    }
  };
  steps.apply = [this] { Report(actions_.Apply()); };
  Report(ResetAllConfigs(state_, steps));
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::ToggleStage(int index) {
  state_.WithConfig(
      [&](ConfigState& s) { ToggleStageEnabled(s.config, index - main_item::FIRST_STAGE_ENABLE); });
}

void WindowController::SetWheel(int index) {
  state_.WithConfig([&](ConfigState& s) { s.config.wheelStatus = index - main_item::WHEEL_OFF; });
}

void WindowController::SelectStage(int index) {
  state_.WithConfig(
      [&](ConfigState& s) { SelectDpiLevel(s.config, index - main_item::FIRST_STAGE_SELECT); });
}

void WindowController::SetStageStep(int index) {
  const int place = index - main_item::FIRST_KNOB_PLACE;
  const int steps = MAX_STAGE_VALUE + 1;
  state_.WithConfig([&](ConfigState& s) {
    SetStageValue(s.config, place / steps, static_cast<uint8_t>(place % steps));
  });
}

void WindowController::ImportMacroFile(int) {
  const auto path =
      actions_.ChooseFile({false, MACRO_FILTER, MACRO_PATTERN, {}, paths_.dataDirectory});
  AfterModal();
  if (!path) return;
  ReportMacroFile(ImportMacros(macros_, *path));
  AfterModal();
  actions_.RefreshMacroList();
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::ExportMacroFile(int) {
  const auto path = actions_.ChooseFile(
      {true, MACRO_FILTER, MACRO_PATTERN, MACRO_EXTENSION, paths_.dataDirectory});
  AfterModal();
  if (!path) return;
  Report(ExportMacros(macros_, *path));
}

void WindowController::AddMacro(int) {
  actions_.AddMacro();
}

void WindowController::DeleteMacro(int) {
  actions_.DeleteMacro();
}

void WindowController::ToggleRecording(int) {
  actions_.ToggleRecording();
}

void WindowController::SaveMacros(int) {
  actions_.SaveMacros();
}

void WindowController::ToggleRepeat(int) {
  actions_.ToggleRepeat();
}

void WindowController::ToggleMacroMode(int) {
  state_.WithConfig([](ConfigState& s) { s.config.macroMode = s.config.macroMode == 0 ? 1 : 0; });
}

void WindowController::SetPointerSpeed(int index) {
  // The entry number is the stored value: 8, 9 or 10.
  state_.WithConfig([&](ConfigState& s) { s.config.pointerSpeed = static_cast<uint8_t>(index); });
}

void WindowController::SetLightingMode(int index) {
  state_.WithConfig([&](ConfigState& s) {
    s.config.ledStatus = static_cast<uint8_t>(index - lighting_item::FIRST_MODE);
  });
}

}  // namespace kr450
