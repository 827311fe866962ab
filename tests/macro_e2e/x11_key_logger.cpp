// kr450-test-key-logger LOG: another X client for the end-to-end macro test. It shows a window
// at the bottom left of the screen, takes the input focus, prints "window 0xID" on stdout once
// the window shows, and appends one line to LOG for every key event it receives, at once:
//
//   press|release KEYSYM KEYCODE SERVER_MS MONOTONIC_US
//
// KEYSYM is the key's unshifted symbol ("a", "Shift_L"), SERVER_MS the X server's time of the
// event, MONOTONIC_US the time it arrived here (CLOCK_MONOTONIC). Focus changes are logged as
// "focus in" / "focus out" lines. It runs until it is killed or its display goes away.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <time.h>

#include <cstdio>

namespace {

constexpr int LOGGER_WIDTH = 320;
constexpr int LOGGER_HEIGHT = 100;
constexpr int SHOW_TIMEOUT_MS = 5000;

long long MonotonicMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Waits for the window's first Expose: it is viewable then (a window manager maps its frame
// after the window itself, and the focus cannot go to a window that is not viewable).
bool WaitUntilShown(Display* display) {
  const long long deadline = MonotonicMicroseconds() + SHOW_TIMEOUT_MS * 1000LL;
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == Expose) return true;
    }
    const long long left = (deadline - MonotonicMicroseconds()) / 1000;
    if (left <= 0) return false;
    pollfd readable{ConnectionNumber(display), POLLIN, 0};
    poll(&readable, 1, static_cast<int>(left));
  }
}

// Where it covers nothing of the windows a test clicks; USPosition asks the window manager to
// leave it there instead of placing it itself.
Window CreateLoggerWindow(Display* display) {
  const int screen = DefaultScreen(display);
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = 0;
  hints.y = DisplayHeight(display, screen) - LOGGER_HEIGHT;
  hints.width = LOGGER_WIDTH;
  hints.height = LOGGER_HEIGHT;
  const Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), hints.x, hints.y, LOGGER_WIDTH,
                          LOGGER_HEIGHT, 0, 0, WhitePixel(display, screen));
  XSetWMNormalHints(display, window, &hints);
  XStoreName(display, window, "kr450 key logger");
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask | FocusChangeMask | ExposureMask);
  return window;
}

// One line for a key or focus event; other events are not logged.
void LogEvent(std::FILE* log, const XEvent& event, long long arrived) {
  if (event.type == KeyPress || event.type == KeyRelease) {
    XKeyEvent key = event.xkey;
    const KeySym sym = XLookupKeysym(&key, 0);
    const char* name = sym != NoSymbol ? XKeysymToString(sym) : nullptr;
    std::fprintf(log, "%s %s %u %lu %lld\n", event.type == KeyPress ? "press" : "release",
                 name != nullptr ? name : "?", key.keycode, key.time, arrived);
  } else if (event.type == FocusIn || event.type == FocusOut) {
    std::fprintf(log, "focus %s\n", event.type == FocusIn ? "in" : "out");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kr450-test-key-logger LOG\n");
    return 2;
  }
  std::FILE* log = std::fopen(argv[1], "a");
  Display* display = XOpenDisplay(nullptr);
  if (log == nullptr || display == nullptr) {
    std::fprintf(stderr, "kr450-test-key-logger: cannot open %s or the display\n", argv[1]);
    return 1;
  }
  const Window window = CreateLoggerWindow(display);
  XMapRaised(display, window);
  if (!WaitUntilShown(display)) {
    std::printf("kr450-test-key-logger: the window did not show\n");
    return 1;
  }
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  std::printf("window 0x%lx\n", window);
  std::fflush(stdout);

  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    LogEvent(log, event, MonotonicMicroseconds());
    std::fflush(log);
  }
}
