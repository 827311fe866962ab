#include "device/click_prompt.h"

namespace kr450 {

void ClickPrompt::OfferButton(int button) {
  // The apply set driverRunning first: it is still set only for the first such button.
  if (!state_.driverRunning.load()) return;
  state_.driverRunning.store(false);
  state_.promptBlink.store(true);
  state_.promptButton.store(button);
  if (!state_.promptWorkerStarted.exchange(true)) blinker_.Start();
}

}  // namespace kr450
