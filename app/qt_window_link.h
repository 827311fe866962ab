#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <string_view>

#include "config/ui_link.h"

namespace kr450 {

// The window side of WindowLink: requests from any thread become queued calls on the window
// thread. Repaint requests that arrive while one is queued are merged into it, so a worker
// that asks faster than the window paints never floods the event queue.
class QtWindowLink final : public WindowLink {
 public:
  // `onShutdown` runs on the window thread for every request to end.
  explicit QtWindowLink(std::function<void()> onShutdown) : onShutdown_(std::move(onShutdown)) {}

  // The widget repaints go to; none before it exists (requests are then dropped).
  void SetTarget(QWidget* target) { target_ = target; }

  void RequestRepaint() override;
  void RequestShutdown() override;

 private:
  QPointer<QWidget> target_;
  std::function<void()> onShutdown_;
  std::atomic<bool> repaintQueued_{false};
};

// Messages for the user as message boxes owned by the window: the application name as
// caption, an OK button only. Called on the window thread.
class MessageBoxSink final : public MessageSink {
 public:
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void ShowMessage(std::string_view text) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace kr450
