#pragma once

// The left-button warning, without Qt: which button is under the pointer and how the dialog
// ends. Its confirm button (warning table entry 0) ends it with WARNING_CONFIRM, its cancel
// button (entry 1) with WARNING_CANCEL; only where the button is released counts. The message
// (entry 2) never highlights.

#include <array>
#include <optional>

#include "ui/hit_test.h"
#include "ui/skin_layout.h"

namespace kr450 {

inline constexpr int WARNING_CONFIRM = 1;  // go on and open the menu
inline constexpr int WARNING_CANCEL = 2;   // no menu

// Keys and commands that end the dialog without the pointer.
enum class WarningKey { Enter, Escape, Close };

constexpr int WarningResultForKey(WarningKey key) {
  return key == WarningKey::Enter ? WARNING_CONFIRM : WARNING_CANCEL;
}

class WarningLogic {
 public:
  // `table` is the warning rectangle table, in the dialog's client pixels.
  explicit WarningLogic(const std::array<SkinItem, WARNING_TABLE_SIZE>& table) : table_(table) {}

  // WARNING_CONFIRM or WARNING_CANCEL for the button under `point`, or NO_CONTROL.
  int ButtonAt(Point point) const;

  int hover() const { return hover_; }  // WARNING_CONFIRM, WARNING_CANCEL or NO_CONTROL
  // True when the highlight changed and the dialog must be repainted.
  bool PointerMove(Point point);
  // The result that ends the dialog, or nothing when the release is outside both buttons
  // (the dialog stays). Where the press was does not matter.
  std::optional<int> ButtonUp(Point point);

 private:
  const std::array<SkinItem, WARNING_TABLE_SIZE>& table_;
  int hover_ = NO_CONTROL;
};

}  // namespace kr450
