// GoogleTest before Xlib, whose macros (None, Bool, ...) would break its headers.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <vector>

#include "macro/x11_keyboard_capture.h"

namespace kr450 {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Another program: a mapped window with the input focus that selects key events.
class FocusedClient {
 public:
  FocusedClient() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 200, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapRaised(display_, window_);
    for (XEvent event; XNextEvent(display_, &event), event.type != MapNotify;) {
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XSync(display_, False);
  }
  ~FocusedClient() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  Display* display() const { return display_; }

  // The key events that arrive within `wait`.
  int KeyEventsWithin(milliseconds wait) {
    int count = 0;
    const auto until = Clock::now() + wait;
    while (Clock::now() < until) {
      XSync(display_, False);
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        count += event.type == KeyPress || event.type == KeyRelease;
      }
      ::usleep(5000);
    }
    return count;
  }

 private:
  Display* display_ = nullptr;
  Window window_ = 0;
};

// Key strokes typed through XTest, as a keyboard would.
class Typist {
 public:
  Typist() : display_(XOpenDisplay(nullptr)) {}
  ~Typist() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  void Key(KeySym sym, bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), down ? True : False, CurrentTime);
    XSync(display_, False);
  }
  void Tap(KeySym sym) {
    Key(sym, true);
    Key(sym, false);
  }
  Display* display() const { return display_; }

 private:
  Display* display_;
};

// Waits on the capture's descriptor and dispatches, as the window's event loop does, until
// `count` strokes have arrived or the time is up.
std::vector<KeyStroke> Receive(KeyboardCapture& capture, std::vector<KeyStroke>& got, size_t count,
                               milliseconds timeout) {
  const auto until = Clock::now() + timeout;
  capture.Dispatch();
  while (got.size() < count && Clock::now() < until && capture.Active()) {
    pollfd fd{capture.EventDescriptor(), POLLIN, 0};
    ::poll(&fd, 1, 20);
    capture.Dispatch();
  }
  return got;
}

class X11CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(client_.display(), nullptr) << "no X display (the test runs under xvfb-run)";
    ASSERT_NE(typist_.display(), nullptr);
  }
  bool Start() {
    return capture_->Start([this](const KeyStroke& stroke) { got_.push_back(stroke); });
  }

  FocusedClient client_;
  Typist typist_;
  std::unique_ptr<KeyboardCapture> capture_ = MakeX11KeyboardCapture(nullptr);
  std::vector<KeyStroke> got_;
};

constexpr KeyMessage DOWN = KeyMessage::KeyDown;
constexpr KeyMessage UP = KeyMessage::KeyUp;
constexpr KeyMessage SYS_DOWN = KeyMessage::SysKeyDown;
constexpr KeyMessage SYS_UP = KeyMessage::SysKeyUp;

TEST_F(X11CaptureTest, TakesEveryStrokeInOrderAndTheFocusedClientGetsNone) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(capture_->Active());
  EXPECT_GE(capture_->EventDescriptor(), 0);
  typist_.Key(XK_Shift_L, true);
  typist_.Tap(XK_a);
  typist_.Key(XK_Shift_L, false);
  typist_.Key(XK_Alt_L, true);
  typist_.Tap(XK_Tab);
  typist_.Key(XK_Alt_L, false);
  typist_.Tap(XK_F10);
  typist_.Key(XK_Control_R, true);
  typist_.Tap(XK_Escape);
  typist_.Key(XK_Control_R, false);
  typist_.Tap(XK_Return);
  typist_.Tap(XK_7);
  const std::vector<KeyStroke> expected = {
      {DOWN, 0xA0},     {DOWN, 0x41},   {UP, 0x41}, {UP, 0xA0},       {SYS_DOWN, 0xA4},
      {SYS_DOWN, 0x09}, {SYS_UP, 0x09}, {UP, 0xA4}, {SYS_DOWN, 0x79}, {SYS_UP, 0x79},
      {DOWN, 0xA3},     {DOWN, 0x1B},   {UP, 0x1B}, {UP, 0xA3},       {DOWN, 0x0D},
      {UP, 0x0D},       {DOWN, 0x37},   {UP, 0x37}};
  EXPECT_EQ(Receive(*capture_, got_, expected.size(), milliseconds(5000)), expected);
  EXPECT_EQ(client_.KeyEventsWithin(milliseconds(300)), 0);

  // Given back: the client types again and the capture hears nothing.
  capture_->Stop();
  EXPECT_FALSE(capture_->Active());
  EXPECT_EQ(capture_->EventDescriptor(), -1);
  got_.clear();
  typist_.Tap(XK_b);
  EXPECT_EQ(client_.KeyEventsWithin(milliseconds(300)), 2);
  capture_->Dispatch();
  EXPECT_TRUE(got_.empty());
}

TEST_F(X11CaptureTest, AHeldKeyRepeatsItsKeyDownOnly) {
  XKeyboardControl control;
  control.auto_repeat_mode = AutoRepeatModeOn;
  XChangeKeyboardControl(typist_.display(), KBAutoRepeatMode, &control);
  XkbSetAutoRepeatRate(typist_.display(), XkbUseCoreKbd, 100, 20);
  ASSERT_TRUE(Start());
  typist_.Key(XK_q, true);
  Receive(*capture_, got_, 4, milliseconds(1500));
  typist_.Key(XK_q, false);
  Receive(*capture_, got_, got_.size() + 1, milliseconds(1000));
  ASSERT_GE(got_.size(), 3u) << "the server repeated nothing";
  for (size_t i = 0; i + 1 < got_.size(); ++i) EXPECT_EQ(got_[i], (KeyStroke{DOWN, 0x51}));
  EXPECT_EQ(got_.back(), (KeyStroke{UP, 0x51}));
}

TEST_F(X11CaptureTest, RefusedWhileAnotherClientHoldsTheKeyboard) {
  Display* other = XOpenDisplay(nullptr);
  ASSERT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                          CurrentTime),
            GrabSuccess);
  XSync(other, False);
  EXPECT_FALSE(Start());
  EXPECT_FALSE(capture_->Active());
  XCloseDisplay(other);
  EXPECT_TRUE(Start());
}

// A process that dies while it captures, by a crash signal or a kill, gives the keyboard
// back: the server ends the grab with the connection, which the kernel closes.
TEST_F(X11CaptureTest, TheKeyboardComesBackWhenTheProcessDies) {
  for (int sig : {SIGSEGV, SIGABRT, SIGKILL}) {
    SCOPED_TRACE(sig);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(sig, SIG_DFL);
      auto capture = MakeX11KeyboardCapture(nullptr);
      const char ok = capture->Start([](const KeyStroke&) {}) ? 1 : 0;
      (void)!::write(ready[1], &ok, 1);
      ::pause();  // until the parent's signal
      ::_exit(3);
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, 1);
    typist_.Tap(XK_c);
    EXPECT_EQ(client_.KeyEventsWithin(milliseconds(200)), 0) << "the child holds the keyboard";
    ::kill(child, sig);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    typist_.Tap(XK_c);
    EXPECT_EQ(client_.KeyEventsWithin(milliseconds(300)), 2);
  }
}

}  // namespace
}  // namespace kr450
