#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kr450 {

// The images of a skin folder.
enum class SkinImage : uint8_t {
  MainNormal,
  MainOver,
  MainDown,
  AdvancedNormal,
  AdvancedOver,
  AdvancedDown,
  LightingNormal,  // pink preview
  LightingOver,    // red preview
  LightingDown,    // purple preview
  PreviewGray,     // lights off
  PreviewBlue,     // first stage colour
  DpiKnob,
  MainMask,
  MenuNormal,
  MenuOver,
  MenuDown,
  MenuMask,
  SubMenuNormal,
  SubMenuOver,
  SubMenuDown,
  SubMenuMask,
  WarningNormal,
  WarningOver,
  WarningMask,
};

// Images of one group are drawn together: the window's are the size of main_mask.jpg, the
// menus' and the warning's at least the size of their masks.
enum class SkinImageGroup : uint8_t { Window, Knob, Menu, SubMenu, Warning };

struct SkinImageInfo {
  SkinImage id;
  std::string_view fileName;
  SkinImageGroup group;
  bool isMask;
};

inline constexpr std::array<SkinImageInfo, 24> SKIN_IMAGES = {{
    {SkinImage::MainNormal, "main_normal.jpg", SkinImageGroup::Window, false},
    {SkinImage::MainOver, "main_over.jpg", SkinImageGroup::Window, false},
    {SkinImage::MainDown, "main_down.jpg", SkinImageGroup::Window, false},
    {SkinImage::AdvancedNormal, "advanced_normal.jpg", SkinImageGroup::Window, false},
    {SkinImage::AdvancedOver, "advanced_over.jpg", SkinImageGroup::Window, false},
    {SkinImage::AdvancedDown, "advanced_down.jpg", SkinImageGroup::Window, false},
    {SkinImage::LightingNormal, "color_normal_pink.jpg", SkinImageGroup::Window, false},
    {SkinImage::LightingOver, "color_over_red.jpg", SkinImageGroup::Window, false},
    {SkinImage::LightingDown, "color_down_purple.jpg", SkinImageGroup::Window, false},
    {SkinImage::PreviewGray, "color_normal_gray.jpg", SkinImageGroup::Window, false},
    {SkinImage::PreviewBlue, "color_over_blue.jpg", SkinImageGroup::Window, false},
    {SkinImage::DpiKnob, "dpi_slider.jpg", SkinImageGroup::Knob, false},
    {SkinImage::MainMask, "main_mask.jpg", SkinImageGroup::Window, true},
    {SkinImage::MenuNormal, "menu_normal.jpg", SkinImageGroup::Menu, false},
    {SkinImage::MenuOver, "menu_over.jpg", SkinImageGroup::Menu, false},
    {SkinImage::MenuDown, "menu_down.jpg", SkinImageGroup::Menu, false},
    {SkinImage::MenuMask, "menu_mask.jpg", SkinImageGroup::Menu, true},
    {SkinImage::SubMenuNormal, "advanced menu_normal.jpg", SkinImageGroup::SubMenu, false},
    {SkinImage::SubMenuOver, "advanced menu_over.jpg", SkinImageGroup::SubMenu, false},
    {SkinImage::SubMenuDown, "advanced menu_down.jpg", SkinImageGroup::SubMenu, false},
    {SkinImage::SubMenuMask, "advanced menu_mask.jpg", SkinImageGroup::SubMenu, true},
    {SkinImage::WarningNormal, "warning_normal.jpg", SkinImageGroup::Warning, false},
    {SkinImage::WarningOver, "warning_over.jpg", SkinImageGroup::Warning, false},
    {SkinImage::WarningMask, "warning_mask.bmp", SkinImageGroup::Warning, true},
}};

constexpr bool SkinImagesInEnumOrder() {
  for (size_t i = 0; i < SKIN_IMAGES.size(); ++i) {
    if (static_cast<size_t>(SKIN_IMAGES[i].id) != i) return false;
  }
  return true;
}
static_assert(SkinImagesInEnumOrder(), "SkinImageFile indexes the table by the enum");

constexpr const SkinImageInfo& SkinImageFile(SkinImage id) {
  return SKIN_IMAGES[static_cast<size_t>(id)];
}

// Rows of the menu images: the function menu's mask is 10 rows high, the submenu's 12.
inline constexpr int MENU_ROWS = 10;
inline constexpr int SUBMENU_ROWS = 12;

}  // namespace kr450
