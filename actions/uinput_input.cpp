#include "actions/uinput_input.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "actions/key_table.h"
#include "actions/shell_operations.h"
#include "config/errno_text.h"

namespace kr450 {
namespace {

class UinputInput final : public InputSynth {
 public:
  UinputInput(int fd, libevdev_uinput* device) : fd_(fd), device_(device) {}
  ~UinputInput() override {
    libevdev_uinput_destroy(device_);
    ::close(fd_);
  }

  // A uinput device sends key positions; the layout is applied by whoever reads it. So on a
  // layout other than QWERTY the letters of shortcuts and macros land where QWERTY has them
  // (Ctrl+A is Ctrl+Q on AZERTY): this side cannot see the layout. XTest maps letters itself.
  bool KeyEvent(uint8_t vk, uint8_t /*scan*/, uint32_t flags) override {
    uint16_t key = LinuxKeyFor(vk);
    if (key == 0) return false;
    return Emit(key, (flags & KEY_FLAG_UP) == 0);
  }

  bool MouseButtonEvent(MouseButton button, bool down) override {
    uint16_t code = button == MouseButton::Left    ? BTN_LEFT
                    : button == MouseButton::Right ? BTN_RIGHT
                                                   : BTN_MIDDLE;
    return Emit(code, down);
  }

  bool LockSession() override { return shell_.LockSession(); }
  bool OpenComputer() override { return shell_.OpenComputer(); }
  bool StartProgram(Program program) override { return shell_.StartProgram(program); }

  std::optional<int> GetPointerSpeed() override { return std::nullopt; }
  bool SetPointerSpeed(int) override { return false; }

 private:
  bool Emit(uint16_t code, bool down) {
    std::lock_guard lock(mutex_);
    return libevdev_uinput_write_event(device_, EV_KEY, code, down ? 1 : 0) == 0 &&
           libevdev_uinput_write_event(device_, EV_SYN, SYN_REPORT, 0) == 0;
  }

  int fd_;
  libevdev_uinput* device_;
  std::mutex mutex_;
  ShellOperations shell_;
};

}  // namespace

std::unique_ptr<InputSynth> MakeUinputInput(const std::string& devicePath, std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<InputSynth> {
    if (error != nullptr) *error = devicePath + ": " + why;
    return nullptr;
  };
  int fd = ::open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return fail(ErrnoText(errno));

  libevdev* description = libevdev_new();
  libevdev_set_name(description, "KR-450 driver input");
  libevdev_enable_event_type(description, EV_KEY);
  for (const KeyInfo& key : KeyTable()) {
    if (key.linuxKey != 0) libevdev_enable_event_code(description, EV_KEY, key.linuxKey, nullptr);
  }
  // Relative axes make the device a mouse, so its buttons count as pointer buttons.
  libevdev_enable_event_type(description, EV_REL);
  libevdev_enable_event_code(description, EV_REL, REL_X, nullptr);
  libevdev_enable_event_code(description, EV_REL, REL_Y, nullptr);
  libevdev_uinput* device = nullptr;
  int rc = libevdev_uinput_create_from_device(description, fd, &device);
  libevdev_free(description);
  if (rc != 0) {
    ::close(fd);
    return fail(ErrnoText(-rc));
  }
  return std::make_unique<UinputInput>(fd, device);
}

}  // namespace kr450
