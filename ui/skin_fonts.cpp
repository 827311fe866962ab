#include "ui/skin_fonts.h"

#include <QStringList>

namespace kr450 {

void InstallSkinFontSubstitutes() {
  const QStringList faces = {"WenQuanYi Zen Hei", "WenQuanYi Zen Hei Sharp", "Noto Sans CJK SC",
                             "Noto Sans SC", "Droid Sans Fallback"};
  QFont::insertSubstitutions(QString::fromUtf8(SKIN_FONT_FAMILY), faces);
  QFont::insertSubstitutions("SimSun", faces);
}

QFont SkinCaptionFont() {
  QFont font(QString::fromUtf8(SKIN_FONT_FAMILY));
  font.setPointSize(SKIN_FONT_POINTS);
  return font;
}

}  // namespace kr450
