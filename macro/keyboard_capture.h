#pragma once

#include <functional>

#include "macro/key_message.h"

namespace kr450 {

// A system-wide capture of the keyboard for the macro recorder: while it runs, every key
// stroke is taken from the other programs (none of them receives it) and handed to the
// recorder as a (message kind, virtual-key code) pair, in the order typed, auto-repeat as
// repeated key-downs.
//
// All calls come from the window thread, and the sink is called only on that thread, from
// inside Dispatch(). The window watches EventDescriptor() while a capture runs and calls
// Dispatch() when it becomes readable, and once right after Start().
class KeyboardCapture {
 public:
  using Sink = std::function<void(const KeyStroke&)>;

  virtual ~KeyboardCapture() = default;

  // Takes the keyboard. False when no global capture is possible (no X display, Wayland,
  // another program holds the keyboard): nothing is taken, and the recorder records only the
  // keys the window receives. Blocks at most for a few round trips to the display.
  virtual bool Start(Sink sink) = 0;
  // Gives the keyboard back at once; nothing reaches the sink afterwards. Harmless when the
  // capture does not run. The keyboard also comes back when the process ends in any way.
  virtual void Stop() = 0;
  virtual bool Active() const = 0;

  // A descriptor that becomes readable when strokes wait, or -1 while the capture does not run.
  virtual int EventDescriptor() const = 0;
  // Hands every waiting stroke to the sink. Never blocks.
  virtual void Dispatch() = 0;
};

// The test backend, and the capture where none exists: strokes are fed in by hand and reach
// the sink while the capture runs.
class FedKeyboardCapture final : public KeyboardCapture {
 public:
  bool available = true;  // what Start answers
  int starts = 0;
  int stops = 0;

  bool Start(Sink sink) override {
    ++starts;
    if (!available) return false;
    sink_ = std::move(sink);
    return true;
  }
  void Stop() override {
    if (sink_) ++stops;
    sink_ = nullptr;
  }
  bool Active() const override { return static_cast<bool>(sink_); }
  int EventDescriptor() const override { return -1; }
  void Dispatch() override {}

  // Delivers a stroke as a running capture would; false when none runs.
  bool Feed(const KeyStroke& stroke) {
    if (!sink_) return false;
    Sink sink = sink_;  // the sink may stop the capture
    sink(stroke);
    return true;
  }

 private:
  Sink sink_;
};

}  // namespace kr450
