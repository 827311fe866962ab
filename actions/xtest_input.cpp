#include "actions/xtest_input.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

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

class XTestInput final : public InputSynth {
 public:
  explicit XTestInput(Display* display) : display_(display) {}
  ~XTestInput() override { XCloseDisplay(display_); }

  bool KeyEvent(uint8_t vk, uint8_t /*scan*/, uint32_t flags) override {
    int key = LinuxKeyFor(vk);
    if (key == 0 || key + X_KEYCODE_OFFSET > X_MAX_KEYCODE) return false;
    std::lock_guard lock(mutex_);
    bool ok = XTestFakeKeyEvent(display_, key + X_KEYCODE_OFFSET, (flags & KEY_FLAG_UP) == 0,
                                CurrentTime) != 0;
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
