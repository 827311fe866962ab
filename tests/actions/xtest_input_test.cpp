// GoogleTest before Xlib, whose macros (None, Bool, ...) would break its headers.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>
// clang-format on

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <initializer_list>
#include <thread>
#include <utility>
#include <vector>

#include "actions/input_backends.h"
#include "actions/key_table.h"
#include "actions/pointer_speed_map.h"
#include "actions/xtest_input.h"

namespace kr450 {
namespace {

struct Received {
  int type;
  KeySym keysym;        // key events
  unsigned int button;  // button events
  bool operator==(const Received&) const = default;
};

// A tiny X client: one mapped window with the input focus and the pointer over it, selecting
// key and button events, as any application the driver types into.
class XClient {
 public:
  XClient() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 200, 0, 0, 0);
    XSelectInput(
        display_, window_,
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    XMapRaised(display_, window_);
    for (XEvent event; XNextEvent(display_, &event), event.type != MapNotify;) {
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XWarpPointer(display_, None, window_, 0, 0, 0, 0, 100, 100);
    XSync(display_, False);
  }
  ~XClient() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  Display* display() const { return display_; }

  // Key and button events that arrive within the timeout, until `count` have.
  std::vector<Received> Collect(size_t count, std::chrono::milliseconds timeout) {
    std::vector<Received> got;
    for (const XEvent& event : CollectEvents(count, timeout)) {
      if (event.type == KeyPress || event.type == KeyRelease) {
        // X key codes are 8..255.
        const auto keycode = static_cast<KeyCode>(event.xkey.keycode);
        got.push_back({event.type, XkbKeycodeToKeysym(display_, keycode, 0, 0), 0});
      } else {
        got.push_back({event.type, NoSymbol, event.xbutton.button});
      }
    }
    return got;
  }

  // Key events as (KeyPress or KeyRelease, key code) that arrive within the timeout, until
  // `count` have.
  std::vector<std::pair<int, unsigned int>> CollectKeycodes(size_t count,
                                                            std::chrono::milliseconds timeout) {
    std::vector<std::pair<int, unsigned int>> codes;
    for (const XEvent& event : CollectEvents(count, timeout)) {
      if (event.type == KeyPress || event.type == KeyRelease) {
        codes.emplace_back(event.type, event.xkey.keycode);
      }
    }
    return codes;
  }

 private:
  std::vector<XEvent> CollectEvents(size_t count, std::chrono::milliseconds timeout) {
    std::vector<XEvent> got;
    auto until = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count && std::chrono::steady_clock::now() < until) {
      if (XPending(display_) == 0) {
        XSync(display_, False);
        if (XPending(display_) == 0) continue;
      }
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == KeyPress || event.type == KeyRelease || event.type == ButtonPress ||
          event.type == ButtonRelease) {
        got.push_back(event);
      }
    }
    return got;
  }

  Display* display_ = nullptr;
  Window window_ = 0;
};

class XTestInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(client_.display(), nullptr) << "no X display (the test runs under xvfb-run)";
    std::string error;
    input_ = MakeXTestInput(nullptr, &error);
    ASSERT_NE(input_, nullptr) << error;
  }

  XClient client_;
  std::unique_ptr<InputSynth> input_;
};

void Key(InputSynth& input, uint8_t vk, bool down) {
  input.KeyEvent(vk, ScanCodeFor(vk),
                 (IsExtendedKey(vk) ? KEY_FLAG_EXTENDED : 0) | (down ? 0 : KEY_FLAG_UP));
}

TEST_F(XTestInputTest, KeysReachAnXClientAsTheRightKeys) {
  Key(*input_, 0x25, true);  // left arrow, an extended key
  Key(*input_, 0x25, false);
  Key(*input_, 0xA0, true);  // left shift, a modifier
  Key(*input_, 0x41, true);  // the letter A
  Key(*input_, 0x41, false);
  Key(*input_, 0xA0, false);
  Key(*input_, 0xA3, true);  // right control, extended
  Key(*input_, 0xA3, false);
  EXPECT_EQ(client_.Collect(8, std::chrono::seconds(5)),
            (std::vector<Received>{{KeyPress, XK_Left, 0},
                                   {KeyRelease, XK_Left, 0},
                                   {KeyPress, XK_Shift_L, 0},
                                   {KeyPress, XK_a, 0},
                                   {KeyRelease, XK_a, 0},
                                   {KeyRelease, XK_Shift_L, 0},
                                   {KeyPress, XK_Control_R, 0},
                                   {KeyRelease, XK_Control_R, 0}}));
}

TEST_F(XTestInputTest, ButtonsReachAnXClient) {
  for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle}) {
    EXPECT_TRUE(input_->MouseButtonEvent(button, true));
    EXPECT_TRUE(input_->MouseButtonEvent(button, false));
  }
  EXPECT_EQ(client_.Collect(6, std::chrono::seconds(5)),
            (std::vector<Received>{{ButtonPress, NoSymbol, 1},
                                   {ButtonRelease, NoSymbol, 1},
                                   {ButtonPress, NoSymbol, 3},
                                   {ButtonRelease, NoSymbol, 3},
                                   {ButtonPress, NoSymbol, 2},
                                   {ButtonRelease, NoSymbol, 2}}));
}

TEST_F(XTestInputTest, KeysWithoutCounterpartAreSkipped) {
  EXPECT_FALSE(input_->KeyEvent(0x17, 0, 0));  // JUNJA: no Linux key
  EXPECT_FALSE(input_->KeyEvent(0x0C, 0, 0));  // CLEAR: beyond X's key codes
  EXPECT_FALSE(input_->KeyEvent(0x07, 0, 0));  // not a key
  EXPECT_TRUE(client_.Collect(1, std::chrono::milliseconds(200)).empty());
}

// Puts other keysyms on some key codes of the server's keymap, as another layout does, and
// puts the old ones back at the end.
class KeymapChange {
 public:
  KeymapChange(Display* display, const std::vector<std::pair<KeyCode, KeySym>>& changes)
      : display_(display) {
    for (auto [code, keysym] : changes) {
      int perKey = 0;
      KeySym* row = XGetKeyboardMapping(display_, code, 1, &perKey);
      saved_.push_back({code, std::vector<KeySym>(row, row + perKey)});
      XFree(row);
      std::vector<KeySym> replaced(perKey, NoSymbol);
      replaced[0] = keysym;
      XChangeKeyboardMapping(display_, code, perKey, replaced.data(), 1);
    }
    XSync(display_, False);
  }
  ~KeymapChange() {
    for (auto& [code, row] : saved_) {
      XChangeKeyboardMapping(display_, code, static_cast<int>(row.size()), row.data(), 1);
    }
    XSync(display_, False);
  }

 private:
  Display* display_;
  std::vector<std::pair<KeyCode, std::vector<KeySym>>> saved_;
};

// Each key pressed and released on the key code given, as CollectKeycodes shows them.
std::vector<std::pair<int, unsigned int>> Strokes(const std::vector<KeyCode>& codes) {
  std::vector<std::pair<int, unsigned int>> events;
  for (KeyCode code : codes) {
    events.emplace_back(KeyPress, code);
    events.emplace_back(KeyRelease, code);
  }
  return events;
}

// A shortcut names its key by the letter: under a layout that swaps a and q (as AZERTY does),
// the A of Ctrl+A goes to the key that now types a. Digits follow the keymap too; a letter the
// keymap lacks goes to its usual position.
TEST_F(XTestInputTest, LettersAndDigitsFollowTheKeymap) {
  Display* display = client_.display();
  KeyCode a = XKeysymToKeycode(display, XK_a), q = XKeysymToKeycode(display, XK_q);
  KeyCode one = XKeysymToKeycode(display, XK_1), two = XKeysymToKeycode(display, XK_2);
  KeyCode z = XKeysymToKeycode(display, XK_z);
  KeyCode control = XKeysymToKeycode(display, XK_Control_L);
  ASSERT_TRUE(a != 0 && q != 0 && one != 0 && two != 0 && z != 0 && control != 0);
  {
    KeymapChange layout(display, {{a, XK_q}, {q, XK_a}, {one, XK_2}, {two, XK_1}, {z, XK_y}});
    // The driver's connection learns of the change from the server's notification.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Ctrl, A, Q, 1, 2, Z
    for (uint8_t vk : std::initializer_list<uint8_t>{0x11, 0x41, 0x51, 0x31, 0x32, 0x5A}) {
      Key(*input_, vk, true);
      Key(*input_, vk, false);
    }
    // Z is nowhere in the keymap now (its key types y): it keeps its usual position.
    EXPECT_EQ(client_.CollectKeycodes(12, std::chrono::seconds(5)),
              Strokes({control, q, a, two, one, z}));
  }
  // And back to the usual layout.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Key(*input_, 0x41, true);
  Key(*input_, 0x41, false);
  EXPECT_EQ(client_.CollectKeycodes(2, std::chrono::seconds(5)), Strokes({a}));
}

// A key pressed before the keymap changes is released where it went down: a release sent to
// another key would leave it down, repeating.
TEST_F(XTestInputTest, AReleaseGoesToTheKeyOfItsPress) {
  Display* display = client_.display();
  KeyCode a = XKeysymToKeycode(display, XK_a), q = XKeysymToKeycode(display, XK_q);
  Key(*input_, 0x41, true);
  KeymapChange layout(display, {{a, XK_q}, {q, XK_a}});
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Key(*input_, 0x41, false);
  // Long enough for the server's key repeat to show a key left down.
  EXPECT_EQ(client_.CollectKeycodes(10, std::chrono::milliseconds(1500)), Strokes({a}));
}

// Under Wayland the default tries uinput first and falls back to XTest (through XWayland).
TEST(DefaultInput, UnderWaylandFallsBackToXTestWithoutUinput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  const char* before = std::getenv("WAYLAND_DISPLAY");
  std::string saved = before != nullptr ? before : "";
  ::setenv("WAYLAND_DISPLAY", "wayland-kr450-test", 1);
  std::string chosen, error;
  std::unique_ptr<InputSynth> input = MakeInputSynth("", &chosen, &error);
  before != nullptr ? ::setenv("WAYLAND_DISPLAY", saved.c_str(), 1) : ::unsetenv("WAYLAND_DISPLAY");
  ASSERT_NE(input, nullptr) << error;
  bool uinputOpens = ::access("/dev/uinput", R_OK | W_OK) == 0;
  EXPECT_EQ(chosen, uinputOpens ? "uinput" : "xtest");
}

TEST_F(XTestInputTest, PointerSpeedChangesThePointerControl) {
  auto control = [&] {
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(client_.display(), &numerator, &denominator, &threshold);
    return CoreAcceleration{numerator, denominator, threshold};
  };
  EXPECT_EQ(input_->GetPointerSpeed(), 10);
  EXPECT_EQ(control(), DEFAULT_CORE_ACCELERATION);
  ASSERT_TRUE(input_->SetPointerSpeed(7));
  EXPECT_EQ(control(), (CoreAcceleration{5, 4, 4}));
  EXPECT_EQ(input_->GetPointerSpeed(), 7);
  ASSERT_TRUE(input_->SetPointerSpeed(20));
  EXPECT_EQ(control(), (CoreAcceleration{7, 1, 4}));
  EXPECT_FALSE(input_->SetPointerSpeed(21));
  EXPECT_EQ(input_->GetPointerSpeed(), 20);
  ASSERT_TRUE(input_->SetPointerSpeed(10));  // back to the server's default
  EXPECT_EQ(control(), DEFAULT_CORE_ACCELERATION);
}

}  // namespace
}  // namespace kr450
