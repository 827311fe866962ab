#include "ui/warning_logic.h"

#include "ui/skin_roles.h"

namespace kr450 {

int WarningLogic::ButtonAt(Point point) const {
  // Only the two buttons are tested: the message is never under the pointer.
  switch (HitTest(point, table_, warning_item::CANCEL)) {
    case warning_item::CONFIRM:
      return WARNING_CONFIRM;
    case warning_item::CANCEL:
      return WARNING_CANCEL;
    default:
      return NO_CONTROL;
  }
}

bool WarningLogic::PointerMove(Point point) {
  const int button = ButtonAt(point);
  if (button == hover_) return false;
  hover_ = button;
  return true;
}

std::optional<int> WarningLogic::ButtonUp(Point point) {
  PointerMove(point);
  if (hover_ == NO_CONTROL) return std::nullopt;
  return hover_;
}

}  // namespace kr450
