#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kr450 {

// Tells when the system has resumed from sleep, so the configuration can be applied again
// (the mouse may have lost it).
class ResumeWatcher {
 public:
  virtual ~ResumeWatcher() = default;
  // Calls onResume from the watcher's own thread after every resume. False when there is no
  // bus or no login manager to listen to: then nothing is ever called and nothing fails.
  virtual bool Start(std::function<void()> onResume) = 0;
  // Ends the watcher thread and waits for it. Safe to call twice.
  virtual void Stop() = 0;
};

// logind's PrepareForSleep(false) on the system bus, or on the bus at `busAddress` when given
// (tests run a private bus).
std::unique_ptr<ResumeWatcher> MakeLogindResumeWatcher(std::string busAddress = {});

}  // namespace kr450
