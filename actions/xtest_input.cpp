#include "actions/xtest_input.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <array>
#include <cstring>
#include <mutex>

#include "actions/key_table.h"
#include "actions/pointer_speed_map.h"
#include "actions/shell_operations.h"

namespace kr450 {
namespace {

// X servers on Linux number keys as the kernel does, offset by 8; X key codes end at 255.
constexpr int X_KEYCODE_OFFSET = 8;
constexpr int X_MAX_KEYCODE = 255;

constexpr const char* LIBINPUT_ACCEL_SPEED = "libinput Accel Speed";

int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

// The keysym that a letter or digit virtual key types without modifiers (XK_0.., XK_a..), or
// NoSymbol for the other keys.
KeySym LayoutKeysymFor(uint8_t vk) {
  if (vk >= 0x30 && vk <= 0x39) return XK_0 + (vk - 0x30);
  if (vk >= 0x41 && vk <= 0x5A) return XK_a + (vk - 0x41);
  return NoSymbol;
}

// Where the current keymap puts the letters and digits. Shortcuts name a key by what it
// types, so Ctrl+A must go to the key that types a: on AZERTY that is where QWERTY has Q.
// The other keys (modifiers, arrows, function keys) keep the key table's position.
class LayoutKeycodes {
 public:
  // Reads the server's keymap again; XKeysymToKeycode's rule: the first column in which the
  // keysym appears, then the lowest key code.
  void Refresh(Display* display) {
    codes_.fill(0);
    int min = 0, max = 0;
    XDisplayKeycodes(display, &min, &max);
    int perKey = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &perKey);
    if (map == nullptr) return;
    for (int vk = 0; vk < 256; ++vk) {
      KeySym wanted = LayoutKeysymFor(static_cast<uint8_t>(vk));
      if (wanted == NoSymbol) continue;
      KeySym upper = wanted >= XK_a && wanted <= XK_z ? wanted - XK_a + XK_A : NoSymbol;
      codes_[vk] = Find(map, min, max, perKey, wanted);
      if (codes_[vk] == 0 && upper != NoSymbol) codes_[vk] = Find(map, min, max, perKey, upper);
    }
    XFree(map);
  }

  // The key code for a letter or digit in the keymap, or 0.
  int For(uint8_t vk) const { return codes_[vk]; }

 private:
  static uint8_t Find(const KeySym* map, int min, int max, int perKey, KeySym wanted) {
    for (int column = 0; column < perKey; ++column) {
      for (int code = min; code <= max; ++code) {
        if (map[(code - min) * perKey + column] == wanted) return static_cast<uint8_t>(code);
      }
    }
    return 0;
  }

  std::array<uint8_t, 256> codes_{};
};

class XTestInput final : public InputSynth {
 public:
  explicit XTestInput(Display* display) : display_(display) {
    WatchKeymap();
    layout_.Refresh(display_);
  }
  ~XTestInput() override { XCloseDisplay(display_); }

  bool KeyEvent(uint8_t vk, uint8_t /*scan*/, uint32_t flags) override {
    bool down = (flags & KEY_FLAG_UP) == 0;
    std::lock_guard lock(mutex_);
    int code = down || pressed_[vk] == 0 ? KeycodeFor(vk) : pressed_[vk];
    if (code == 0) return false;
    // A release goes to the key its press went to, even when the keymap changed in between.
    pressed_[vk] = down ? static_cast<uint8_t>(code) : 0;
    bool ok = XTestFakeKeyEvent(display_, static_cast<unsigned int>(code), down, CurrentTime) != 0;
    XFlush(display_);
    return ok;
  }

  bool MouseButtonEvent(MouseButton button, bool down) override {
    unsigned int number = button == MouseButton::Left ? 1 : button == MouseButton::Right ? 3 : 2;
    std::lock_guard lock(mutex_);
    bool ok = XTestFakeButtonEvent(display_, number, down, CurrentTime) != 0;
    XFlush(display_);
    return ok;
  }

  bool LockSession() override { return shell_.LockSession(); }
  bool OpenComputer() override { return shell_.OpenComputer(); }
  bool StartProgram(Program program) override { return shell_.StartProgram(program); }

  std::optional<int> GetPointerSpeed() override {
    std::lock_guard lock(mutex_);
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(display_, &numerator, &denominator, &threshold);
    return SpeedFromCoreAcceleration(numerator, denominator);
  }

  bool SetPointerSpeed(int speed) override {
    if (speed < MIN_POINTER_SPEED || speed > MAX_POINTER_SPEED) return false;
    std::lock_guard lock(mutex_);
    if (speed == DEFAULT_POINTER_SPEED) {
      XChangePointerControl(display_, True, True, -1, -1, -1);  // the server's default
    } else {
      CoreAcceleration accel = CoreAccelerationFor(speed);
      XChangePointerControl(display_, True, True, accel.numerator, accel.denominator,
                            accel.threshold);
    }
    // libinput devices ignore the core control and have a setting of their own. A device that
    // goes away meanwhile must not end the driver through Xlib's default error handler.
    XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    SetLibinputAccelSpeed(LibinputAccelSpeedFor(speed));
    XSync(display_, False);
    XSetErrorHandler(previous);
    return true;
  }

 private:
  // The X key code for a virtual key, or 0 when it has none: letters and digits through the
  // keymap, the rest (and letters the keymap lacks) through the key table.
  int KeycodeFor(uint8_t vk) {
    RefreshLayoutIfChanged();
    if (int code = layout_.For(vk); code != 0) return code;
    int key = LinuxKeyFor(vk);
    if (key == 0 || key + X_KEYCODE_OFFSET > X_MAX_KEYCODE) return 0;
    return key + X_KEYCODE_OFFSET;
  }

  // Xlib keeps the XKB form of a keymap change to itself unless the client selects it; without
  // XKB the server sends every client the core MappingNotify.
  void WatchKeymap() {
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display_, &opcode, &event, &error, &major, &minor)) return;
    constexpr unsigned int CHANGES = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
    XkbSelectEvents(display_, XkbUseCoreKbd, CHANGES, CHANGES);
  }

  // The connection selects nothing else, so whatever arrives tells of a keymap change. Reading
  // what is there does not block.
  void RefreshLayoutIfChanged() {
    if (XEventsQueued(display_, QueuedAfterReading) == 0) return;
    for (XEvent event; XPending(display_) > 0;) {
      XNextEvent(display_, &event);
      if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
    }
    layout_.Refresh(display_);
  }

  void SetLibinputAccelSpeed(float value) {
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(display_, "XInputExtension", &opcode, &event, &error)) return;
    int major = 2, minor = 0;
    if (XIQueryVersion(display_, &major, &minor) != Success) return;
    Atom property = XInternAtom(display_, LIBINPUT_ACCEL_SPEED, True);
    Atom floatType = XInternAtom(display_, "FLOAT", True);
    if (property == None || floatType == None) return;  // no libinput device ever existed
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
    for (int i = 0; i < count; ++i) {
      if (devices[i].use != XISlavePointer || !devices[i].enabled) continue;
      if (!HasFloatProperty(devices[i].deviceid, property, floatType)) continue;
      // XI2 passes 32-bit items as 32-bit values, not longs.
      uint32_t data = 0;
      static_assert(sizeof(float) == sizeof(data));
      std::memcpy(&data, &value, sizeof data);
      XIChangeProperty(display_, devices[i].deviceid, property, floatType, 32, PropModeReplace,
                       reinterpret_cast<unsigned char*>(&data), 1);
    }
    XIFreeDeviceInfo(devices);
  }

  bool HasFloatProperty(int device, Atom property, Atom floatType) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool has = XIGetProperty(display_, device, property, 0, 1, False, AnyPropertyType, &type,
                             &format, &items, &after, &data) == Success &&
               type == floatType && format == 32 && items >= 1;
    if (data != nullptr) XFree(data);
    return has;
  }

  Display* display_;
  std::mutex mutex_;  // one request at a time on the connection
  LayoutKeycodes layout_;
  std::array<uint8_t, 256> pressed_{};  // the key code each virtual key that is down went to
  ShellOperations shell_;
};

}  // namespace

std::unique_ptr<InputSynth> MakeXTestInput(const char* displayName, std::string* error) {
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr) {
    if (error != nullptr) *error = "cannot open the X display";
    return nullptr;
  }
  int event = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &errorBase, &major, &minor)) {
    XCloseDisplay(display);
    if (error != nullptr) *error = "the X display has no XTest extension";
    return nullptr;
  }
  return std::make_unique<XTestInput>(display);
}

}  // namespace kr450
