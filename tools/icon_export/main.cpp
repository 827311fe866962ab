// kr450-icon-export OUTDIR SIZE...: writes the program's icon into an icon theme folder
// (OUTDIR/NxN/apps/kr450.png for each size), so that the desktop's menu shows the same picture
// as the window and the tray.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>

#include "ui/qt/app_icon.h"

namespace {

bool ExportSize(const QString& themeFolder, int size) {
  const QString folder = QStringLiteral("%1/%2x%2/apps").arg(themeFolder, QString::number(size));
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "kr450-icon-export: cannot create %s\n", qPrintable(folder));
    return false;
  }
  const QImage image = kr450::RenderAppIcon(size);
  const QString file = folder + QStringLiteral("/kr450.png");
  if (image.size() != QSize(size, size) || !image.save(file, "PNG")) {
    std::fprintf(stderr, "kr450-icon-export: cannot write %s\n", qPrintable(file));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kr450-icon-export OUTDIR SIZE...\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");  // a build machine has no display
  QGuiApplication app(argc, argv);
  const QString themeFolder = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    bool number = false;
    const int size = QString::fromLocal8Bit(argv[i]).toInt(&number);
    if (!number || size < 1 || size > 1024) {
      std::fprintf(stderr, "kr450-icon-export: not a size: %s\n", argv[i]);
      return 2;
    }
    if (!ExportSize(themeFolder, size)) return 1;
  }
  return 0;
}
