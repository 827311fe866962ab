#include "app/zel_app.h"

#include "app/paths.h"
#include "ui/skin_fonts.h"

namespace kr450 {

CZEL_ZUduvoApp::CZEL_ZUduvoApp(int& argc, char** argv)
    : QApplication(argc, argv), programDirectory_(ProgramDirectory()) {
  // Message boxes carry the program's name as caption.
  setApplicationName(QStringLiteral("kr450"));
  setApplicationVersion(QStringLiteral(KR450_VERSION));
  setDesktopFileName(QStringLiteral("kr450"));
  // Hidden in the notification area, the window is not a reason to end.
  setQuitOnLastWindowClosed(false);
  InstallSkinFontSubstitutes();
}

}  // namespace kr450
