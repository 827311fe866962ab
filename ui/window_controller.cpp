#include "ui/window_controller.h"

#include <algorithm>
#include <climits>

#include "macro/macro_record.h"
#include "ui/skin_roles.h"
#include "ui/warning_logic.h"

namespace kr450 {
namespace {

constexpr uint8_t OnPage(int page) {
  return static_cast<uint8_t>(1u << page);
}
constexpr uint8_t ON_MAIN = OnPage(PAGE_MAIN);
constexpr uint8_t ON_ADVANCED = OnPage(PAGE_ADVANCED);
constexpr uint8_t ON_LIGHTING = OnPage(PAGE_LIGHTING);
constexpr uint8_t ON_ALL = ON_MAIN | ON_ADVANCED | ON_LIGHTING;

int Saturate(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

// Press and release actions of the main table, by page. The advanced and lighting tables act
// only on their own page, on the press.
const WindowController::ControlRole WindowController::MAIN_ROLES[] = {
    {main_item::SAVE, main_item::SAVE, Trigger::Press, ON_MAIN, &WindowController::Save},
    {main_item::DRIVER_MODE, main_item::DRIVER_MODE, Trigger::Release, ON_ALL,
     &WindowController::RevertAndHide},
    {main_item::APPLY, main_item::APPLY, Trigger::Release, ON_ALL, &WindowController::Apply},
    {main_item::Config(1), main_item::Config(USER_CONFIG_COUNT), Trigger::Release, ON_ALL,
     &WindowController::SelectConfiguration},
    {main_item::TAB_MAIN, main_item::TAB_MAIN, Trigger::Press, ON_ADVANCED | ON_LIGHTING,
     &WindowController::ShowPageOfTab},
    {main_item::TAB_ADVANCED, main_item::TAB_ADVANCED, Trigger::Press, ON_MAIN | ON_LIGHTING,
     &WindowController::ShowPageOfTab},
    {main_item::TAB_LIGHTING, main_item::TAB_LIGHTING, Trigger::Press, ON_MAIN | ON_ADVANCED,
     &WindowController::ShowPageOfTab},
    {main_item::MINIMISE, main_item::MINIMISE, Trigger::Release, ON_ALL,
     &WindowController::Minimise},
    {main_item::CLOSE, main_item::CLOSE, Trigger::Release, ON_ALL, &WindowController::Close},
    {main_item::IMPORT, main_item::IMPORT, Trigger::Press, ON_MAIN,
     &WindowController::ImportConfiguration},
    {main_item::EXPORT, main_item::EXPORT, Trigger::Press, ON_MAIN,
     &WindowController::ExportConfiguration},
    {main_item::RESET, main_item::RESET, Trigger::Release, ON_ALL, &WindowController::Reset},
    {main_item::Slot(1), main_item::Slot(BUTTON_COUNT), Trigger::Press, ON_MAIN,
     &WindowController::OpenSlotMenu},
    {main_item::FIRST_STAGE_ENABLE, main_item::FIRST_STAGE_ENABLE + STAGE_COUNT - 1, Trigger::Press,
     ON_MAIN, &WindowController::ToggleStage},
    {main_item::WHEEL_OFF, main_item::WHEEL_ON, Trigger::Press, ON_MAIN,
     &WindowController::SetWheel},
    {main_item::FIRST_STAGE_SELECT, main_item::FIRST_STAGE_SELECT + STAGE_COUNT - 1, Trigger::Press,
     ON_MAIN, &WindowController::SelectStage},
    {main_item::KnobPlace(0, 0), main_item::KnobPlace(STAGE_COUNT - 1, MAX_STAGE_VALUE),
     Trigger::Press, ON_MAIN, &WindowController::SetStageStep},
};

const WindowController::ControlRole WindowController::ADVANCED_ROLES[] = {
    {advanced_item::IMPORT_MACROS, advanced_item::IMPORT_MACROS, Trigger::Press, ON_ADVANCED,
     &WindowController::ImportMacroFile},
    {advanced_item::EXPORT_MACROS, advanced_item::EXPORT_MACROS, Trigger::Press, ON_ADVANCED,
     &WindowController::ExportMacroFile},
    {advanced_item::ADD_MACRO, advanced_item::ADD_MACRO, Trigger::Press, ON_ADVANCED,
     &WindowController::AddMacro},
    {advanced_item::DELETE_MACRO, advanced_item::DELETE_MACRO, Trigger::Press, ON_ADVANCED,
     &WindowController::DeleteMacro},
    {advanced_item::RECORD, advanced_item::RECORD, Trigger::Press, ON_ADVANCED,
     &WindowController::ToggleRecording},
    {advanced_item::SAVE_MACROS, advanced_item::SAVE_MACROS, Trigger::Press, ON_ADVANCED,
     &WindowController::SaveMacros},
    {advanced_item::REPEAT, advanced_item::REPEAT, Trigger::Press, ON_ADVANCED,
     &WindowController::ToggleRepeat},
    {advanced_item::MACRO_MODE, advanced_item::MACRO_MODE, Trigger::Press, ON_ADVANCED,
     &WindowController::ToggleMacroMode},
    {advanced_item::FIRST_POINTER_SPEED, advanced_item::FIRST_POINTER_SPEED + 2, Trigger::Press,
     ON_ADVANCED, &WindowController::SetPointerSpeed},
};

const WindowController::ControlRole WindowController::LIGHTING_ROLES[] = {
    {lighting_item::FIRST_MODE, lighting_item::FIRST_MODE + LED_OFF, Trigger::Press, ON_LIGHTING,
     &WindowController::SetLightingMode},
};

int LastHoverMain(int page) {
  return page == PAGE_MAIN ? main_item::LAST_HOVER : main_item::LAST_FRAME;
}

WindowController::WindowController(DriverState& state, MacroTable& macros, const SkinLayout& layout,
                                   MenuMetrics menuMetrics, WindowPaths paths,
                                   WindowActions& actions)
    : state_(state),
      macros_(macros),
      layout_(layout),
      paths_(std::move(paths)),
      actions_(actions),
      menu_(menuMetrics) {
  state_.mainPageShown.store(true);
}

void WindowController::FillPaintView(PaintView& view) const {
  view.currentPage = page();
  view.hoverMain = pointer_.hoverMain;
  view.hoverLighting = pointer_.hoverLighting;
  view.hoverAdvanced = pointer_.hoverAdvanced;
  view.buttonPressed = pointer_.buttonPressed;
}

template <size_t N>
bool WindowController::Run(const ControlRole (&roles)[N], int index, Trigger trigger) {
  for (const ControlRole& role : roles) {
    if (index < role.first || index > role.last) continue;
    if (role.trigger != trigger || (role.pages & OnPage(page())) == 0) return false;
    (this->*role.command)(index);
    return true;
  }
  return false;
}

void WindowController::Track(Point point) {
  const int current = page();
  SetHover(HitTest(point, layout_.main, LastHoverMain(current)),
           HitTest(point, layout_.lighting, LAST_HOVER_LIGHTING),
           HitTest(point, layout_.advanced, LAST_HOVER_ADVANCED));
}

// A repaint only when what the page shows changes: a table that is not drawn on this page
// may change without one.
void WindowController::SetHover(int main, int lighting, int advanced) {
  const int current = page();
  pointer_.hoverMain = main;
  pointer_.hoverLighting = lighting;
  pointer_.hoverAdvanced = advanced;
  bool changed = pointer_.hoverMain != pointer_.lastHoverMain;
  if (current == PAGE_LIGHTING) changed |= pointer_.hoverLighting != pointer_.lastHoverLighting;
  if (current == PAGE_ADVANCED) changed |= pointer_.hoverAdvanced != pointer_.lastHoverAdvanced;
  pointer_.lastHoverMain = pointer_.hoverMain;
  pointer_.lastHoverLighting = pointer_.hoverLighting;
  pointer_.lastHoverAdvanced = pointer_.hoverAdvanced;
  if (changed) {
    actions_.Repaint(current == PAGE_ADVANCED ? RepaintArea::AdvancedRegion : RepaintArea::Window);
  }
}

bool WindowController::EmptyUnderPointer() const {
  if (pointer_.hoverMain != NO_CONTROL) return false;
  switch (page()) {
    case PAGE_ADVANCED:
      return pointer_.hoverAdvanced == NO_CONTROL;
    case PAGE_LIGHTING:
      return pointer_.hoverLighting == NO_CONTROL;
    default:
      return true;
  }
}

void WindowController::OnPointerMove(Point point) {
  Track(point);
}

void WindowController::OnPointerLeave() {
  SetHover(NO_CONTROL, NO_CONTROL, NO_CONTROL);
}

void WindowController::OnButtonDown(Point point) {
  Track(point);
  const bool overControl = pointer_.hoverMain != NO_CONTROL ||
                           pointer_.hoverLighting != NO_CONTROL ||
                           pointer_.hoverAdvanced != NO_CONTROL;
  if (overControl) pointer_.buttonPressed = true;
  const bool empty = EmptyUnderPointer();
  const int current = page();
  // Any press on the main page closes the function menu before it acts.
  if (current == PAGE_MAIN) CloseMenu();
  if (!Run(MAIN_ROLES, pointer_.hoverMain, Trigger::Press)) {
    if (current == PAGE_ADVANCED) Run(ADVANCED_ROLES, pointer_.hoverAdvanced, Trigger::Press);
    if (current == PAGE_LIGHTING) Run(LIGHTING_ROLES, pointer_.hoverLighting, Trigger::Press);
  }
  if (empty) {
    // The move takes the button: its release may never reach the window.
    pointer_.buttonPressed = false;
    actions_.StartSystemMove();
  }
  if (overControl) actions_.Repaint(RepaintArea::Window);
}

void WindowController::OnButtonUp(Point point) {
  Track(point);
  pointer_.buttonPressed = false;
  Run(MAIN_ROLES, pointer_.hoverMain, Trigger::Release);
  actions_.Repaint(RepaintArea::Window);
}

void WindowController::OnContextMenu(Point point) {
  Track(point);
  if (EmptyUnderPointer()) actions_.OpenWindowMenu(point);
}

void WindowController::SwitchPage(int page) {
  const int from = page_.exchange(page);
  if (from == page) return;
  state_.mainPageShown.store(page == PAGE_MAIN);
  if (from == PAGE_ADVANCED) actions_.DestroyAdvancedControls();
  switch (page) {
    case PAGE_ADVANCED:
      actions_.Repaint(RepaintArea::AdvancedRegion);
      actions_.CreateAdvancedControls();
      actions_.RefreshMacroList();
      return;
    case PAGE_LIGHTING:
      actions_.StartLightingPreview();
      break;
    default:
      actions_.StartPromptBlink();
      break;
  }
  actions_.Repaint(RepaintArea::Window);
}

// A modal piece took the button's release: nothing stays pressed.
void WindowController::AfterModal() {
  pointer_.buttonPressed = false;
}

void WindowController::Report(const Status& status) {
  if (status.ok()) return;
  actions_.ShowError(status.message());
  AfterModal();
}

// --- the function menu

std::vector<std::string> WindowController::MacroNames() const {
  const MacroTableData data = macros_.Snapshot();
  std::vector<std::string> names;
  const int count = std::clamp<int>(data.macroCount, 0, MAX_MACROS);
  names.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    names.push_back(MacroNameUtf8(data.records[static_cast<size_t>(i)]));
  return names;
}

void WindowController::OpenSlotMenu(int index) {
  const int slot = index - main_item::FIRST_SLOT + 1;
  const SkinItem& item = layout_.main[static_cast<size_t>(index)];
  // Below the slot's lower-left corner.
  const Point anchor{item.x, Saturate(item.bottom())};
  const DeviceConfig config = state_.Config();
  bool otherKeepsLeft = false;
  for (int k = 1; k <= BUTTON_COUNT; ++k) {
    if (k != slot && config.buttons[static_cast<size_t>(k - 1)] == 1) otherKeepsLeft = true;
  }
  if (!otherKeepsLeft) {
    const int result = actions_.ShowWarning(anchor);
    AfterModal();
    if (result == WARNING_CANCEL) return;
  }
  menu_.Open(index, anchor, BuildMenuContent(layout_, MacroNames()));
  actions_.ShowFunctionMenu();
}

void WindowController::CloseMenu() {
  if (!menu_.IsOpen()) return;
  menu_.Close();
  actions_.CloseFunctionMenu();
}

void WindowController::StoreChoice(FunctionCode code) {
  const int slot = menu_.slotBeingAssigned() - main_item::FIRST_SLOT + 1;
  state_.WithConfig([&](ConfigState& s) { AssignFunction(s.config, slot, code); });
}

void WindowController::OnMenuPointerMove(Point point) {
  if (menu_.PointerMove(point)) actions_.FunctionMenuChanged();
}

void WindowController::OnMenuButtonDown(Point point) {
  if (menu_.ButtonDown(point)) actions_.FunctionMenuChanged();
}

void WindowController::OnMenuButtonUp(Point point) {
  if (!menu_.IsOpen()) return;
  const MenuRelease release = menu_.ButtonUp(point);
  if (release.chosen) StoreChoice(*release.chosen);
  if (!release.close) {
    actions_.FunctionMenuChanged();
    return;
  }
  CloseMenu();
  actions_.Repaint(RepaintArea::Window);  // the slot's caption
}

void WindowController::OnSubMenuPointerMove(Point point) {
  if (menu_.SubMenuPointerMove(point)) actions_.SubMenuChanged();
}

void WindowController::OnSubMenuButtonDown(Point point) {
  if (menu_.SubMenuButtonDown(point)) actions_.SubMenuChanged();
}

void WindowController::OnSubMenuButtonUp(Point point) {
  const MenuRelease release = menu_.SubMenuButtonUp(point);
  if (release.chosen) StoreChoice(*release.chosen);
  if (!release.close) return;
  CloseMenu();
  actions_.Repaint(RepaintArea::Window);
}

}  // namespace kr450
