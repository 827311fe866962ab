#pragma once

// The main window's pages (currentPage) and the hit index of "nothing under the pointer".
namespace kr450 {

inline constexpr int PAGE_MAIN = 0;
inline constexpr int PAGE_ADVANCED = 1;  // the macro editor
inline constexpr int PAGE_LIGHTING = 2;

inline constexpr int NO_CONTROL = 255;

}  // namespace kr450
