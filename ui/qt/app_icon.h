#pragma once

#include <QIcon>
#include <QImage>

namespace kr450 {

// Icon 159: the program's icon, drawn from one description at any size, so that the window,
// the tray and the desktop's icon theme show the same picture.
QImage RenderAppIcon(int size);
// The icon at the sizes desktops and trays ask for.
QIcon AppIcon();

}  // namespace kr450
