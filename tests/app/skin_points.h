#pragma once

#include <string>

#include "config/ui_link.h"
#include "ui/skin_files.h"
#include "ui/skin_layout.h"

namespace kr450::test {

// The layout of the shipped skin, so that tests click where the skin puts a control instead
// of at numbers of their own.
inline SkinLayout ShippedSkinLayout() {
  class Silent final : public MessageSink {
    void ShowMessage(std::string_view) override {}
  } silent;
  NullWindowLink noWindow;
  SkinFiles files(std::string(KR450_SOURCE_DIR) + "/data/skins", silent, noWindow);
  return ReadSkinLayout(files);
}

struct Pixel {
  int x = 0;
  int y = 0;
};

// The middle of a skin item, in the window's client pixels.
inline Pixel Centre(const SkinItem& item) {
  return {item.x + item.width / 2, item.y + item.height / 2};
}

}  // namespace kr450::test
