#pragma once

#include "config/driver_state.h"
#include "config/ui_link.h"
#include "device/prompt_blinker.h"
#include "device/wakeable_clock.h"

namespace kr450 {

// The click prompt: after an apply that gives a button a driver-performed function, the
// driver waits until the user clicks that button once (the input reader ends the wait), and
// the blink worker makes the prompt blink meanwhile. Any thread.
class ClickPrompt {
 public:
  ClickPrompt(DriverState& state, WindowLink& window, StoppableClock& clock)
      : state_(state), blinker_(state, window, clock) {}

  // The apply found driver-performed `button` (1..6). The first such button of an apply
  // enters the prompt and names itself; later ones change nothing. A blink worker is started
  // unless one was started during this waiting period.
  void OfferButton(int button);

  // Starts the blink worker unless one runs (the window does so at start-up and when it
  // returns to the main page).
  void StartBlink() { blinker_.Start(); }
  int BlinkStartsRequested() const { return blinker_.StartsRequested(); }
  // Ends the blink worker for good; returns at once.
  void Stop() { blinker_.Stop(); }

 private:
  DriverState& state_;
  PromptBlinker blinker_;
};

}  // namespace kr450
