#pragma once

#include <QString>

namespace kr450::skin_art {

// Reads the skin in `skinDirectory` back with the driver's own reader and writes PNG pictures
// of it into `previewDirectory`: each page as the window shows it for a typical
// configuration (the normal picture cut to the window shape, the state pictures where the
// state puts them, every caption in its rectangle, one control under the pointer), each
// page's three state pictures side by side, the function menu with its submenus, and the
// warning. Returns false with `error` set on failure.
bool WritePreviews(const QString& skinDirectory, const QString& previewDirectory, QString* error);

}  // namespace kr450::skin_art
