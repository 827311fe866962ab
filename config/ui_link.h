#pragma once

#include <string_view>

namespace kr450 {

// The few messages the driver shows the user ("找不到配置文件", ...). The window shows a
// message box; the command-line tool prints to stderr. Called from the window thread.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(std::string_view text) = 0;
};

// What workers may ask of the main window. Implementations queue the request to the window
// thread and return at once; they are called from any thread.
class WindowLink {
 public:
  virtual ~WindowLink() = default;
  virtual void RequestRepaint() = 0;
  // The driver must end (mouse removed, a skin file missing): the window runs its shutdown.
  virtual void RequestShutdown() = 0;
};

// For code that runs without a window.
class NullWindowLink final : public WindowLink {
 public:
  void RequestRepaint() override {}
  void RequestShutdown() override {}
};

}  // namespace kr450
