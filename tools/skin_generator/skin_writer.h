#pragma once

#include <QString>

#include "skin_design.h"

namespace kr450::skin_art {

// Writes the layout files and every image of the skin into `directory` (which must exist).
// Regenerating gives the same bytes. Returns false with `error` set when a file cannot be
// written. Other files in the folder (defMacro.dat) are left alone.
bool WriteSkin(const SkinDesign& design, const QString& directory, QString* error);

// The text of one layout file.
QString MainLayoutText(const SkinDesign& design);
QString LightingLayoutText(const SkinDesign& design);
QString AdvancedLayoutText(const SkinDesign& design);
QString WarningLayoutText(const SkinDesign& design);

}  // namespace kr450::skin_art
