#include "macro/x11_keyboard_capture.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "macro/capture_key_map.h"

namespace kr450 {
namespace {

// X servers on Linux number keys as the kernel does, offset by 8.
constexpr unsigned int X_KEYCODE_OFFSET = 8;
// A grab fails while another client holds the keyboard for a moment (a menu closing); it is
// tried a few times before the capture gives up.
constexpr int GRAB_ATTEMPTS = 10;
constexpr auto GRAB_RETRY_PAUSE = std::chrono::milliseconds(20);

class X11KeyboardCapture final : public KeyboardCapture {
 public:
  explicit X11KeyboardCapture(const char* displayName)
      : displayName_(displayName != nullptr ? displayName : "") {}
  ~X11KeyboardCapture() override { Stop(); }

  bool Start(Sink sink) override {
    Stop();
    display_ = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
    if (display_ == nullptr) return false;
    // Held keys then repeat as presses alone, as Windows repeats key-downs.
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
    if (!Grab()) {
      XCloseDisplay(display_);
      display_ = nullptr;
      return false;
    }
    numLockMask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
    classifier_.Reset();
    sink_ = std::move(sink);
    return true;
  }

  void Stop() override {
    sink_ = nullptr;
    if (display_ == nullptr) return;
    XUngrabKeyboard(display_, CurrentTime);
    XCloseDisplay(display_);  // flushes the ungrab; closing alone would end the grab too
    display_ = nullptr;
  }

  bool Active() const override { return display_ != nullptr; }

  int EventDescriptor() const override {
    return display_ != nullptr ? ConnectionNumber(display_) : -1;
  }

  void Dispatch() override {
    while (display_ != nullptr && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type != KeyPress && event.type != KeyRelease) continue;
      const uint8_t vk = VirtualKeyOf(event.xkey);
      if (vk == 0) continue;  // a key that has no virtual-key code
      const KeyStroke stroke{classifier_.Classify(vk, event.type == KeyPress), vk};
      Sink sink = sink_;  // the sink may stop the capture
      if (sink) sink(stroke);
    }
  }

 private:
  bool Grab() {
    const Window root = DefaultRootWindow(display_);
    for (int attempt = 0; attempt < GRAB_ATTEMPTS; ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(GRAB_RETRY_PAUSE);
      if (XGrabKeyboard(display_, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
          GrabSuccess) {
        return true;
      }
    }
    return false;
  }

  uint8_t VirtualKeyOf(const XKeyEvent& key) const {
    const auto code = static_cast<KeyCode>(key.keycode);
    // Letters and digits by what the key types, unshifted or shifted (the digits of a
    // French keyboard are shifted), as Windows names them.
    for (int level = 0; level < 2; ++level) {
      const KeySym sym = XkbKeycodeToKeysym(display_, code, 0, level);
      if (sym != NoSymbol && sym < 0x80) {
        if (uint8_t vk = VirtualKeyForCharacter(static_cast<char32_t>(sym)); vk != 0) return vk;
      }
    }
    if (key.keycode < X_KEYCODE_OFFSET) return 0;
    const uint8_t vk = VirtualKeyForLinuxKey(static_cast<uint16_t>(key.keycode - X_KEYCODE_OFFSET));
    const bool numLock = numLockMask_ != 0 && (key.state & numLockMask_) != 0;
    return numLock ? vk : KeypadWithoutNumLock(vk);
  }

  std::string displayName_;
  Display* display_ = nullptr;
  Sink sink_;
  unsigned int numLockMask_ = 0;
  KeyMessageClassifier classifier_;
};

}  // namespace

std::unique_ptr<KeyboardCapture> MakeX11KeyboardCapture(const char* displayName) {
  return std::make_unique<X11KeyboardCapture>(displayName);
}

}  // namespace kr450
