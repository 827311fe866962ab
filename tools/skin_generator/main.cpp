// Writes the default skin: kr450-skin-generator SKIN_DIR [PREVIEW_DIR]
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "skin_design.h"
#include "skin_preview.h"
#include "skin_writer.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s SKIN_DIR [PREVIEW_DIR]\n", argv[0]);
    return 2;
  }
  // Drawing needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString skinDir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(skinDir);
  QString error;
  if (!kr450::skin_art::WriteSkin(kr450::skin_art::DefaultSkinDesign(), skinDir, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  if (argc == 3 &&
      !kr450::skin_art::WritePreviews(skinDir, QString::fromLocal8Bit(argv[2]), &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
