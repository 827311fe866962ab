// Saves what an X display shows as PNG: the whole screen, or one window by its id (as
// `xdotool search` prints it), with whatever lies above it. Used by the screenshot script,
// so that it needs nothing beyond Qt.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: kr450-x11-grab OUT.png [WINDOW_ID]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "kr450-x11-grab: no screen\n");
    return 1;
  }
  const WId window = argc == 3 ? static_cast<WId>(std::strtoull(argv[2], nullptr, 0)) : 0;
  const QPixmap shot = screen->grabWindow(window);
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "kr450-x11-grab: could not grab or save\n");
    return 1;
  }
  return 0;
}
