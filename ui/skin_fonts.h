#pragma once

#include <QFont>
#include <QString>

namespace kr450 {

// The face every skinned window writes its captions in.
inline constexpr const char* SKIN_FONT_FAMILY = "宋体";
inline constexpr int SKIN_FONT_POINTS = 10;

// Maps "宋体" to the installed CJK faces (WenQuanYi Zen Hei from Debian first), so that
// the captions keep their Chinese text. Call once after the application object exists.
void InstallSkinFontSubstitutes();

// "宋体" at 10 points, the font of the captions.
QFont SkinCaptionFont();

}  // namespace kr450
