#pragma once

#include <QRegion>
#include <string>

#include "config/ui_link.h"
#include "ui/skin_image_set.h"
#include "ui/skin_layout.h"
#include "ui/window_shape_qt.h"

namespace kr450 {

// Everything of a skin folder the windows draw from.
struct LoadedSkin {
  SkinLayout layout;
  SkinImageSet images;
  WindowShape shape;
  QRegion warningShape;
};

// Reads the layout files (problems reported as SkinFiles does), decodes every image and
// builds the main window's and the warning's shapes. Images that cannot be decoded or have
// the wrong size, and masks that leave no window at all, are listed in one message, and the
// window is asked to shut down. Returns false when the skin cannot be shown; the window must
// then not be shown either.
bool LoadSkin(const std::string& skinDirectory, MessageSink& messages, WindowLink& window,
              LoadedSkin* skin);

}  // namespace kr450
