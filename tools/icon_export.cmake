# The desktop's icon: the program's own icon art rendered at the icon theme's sizes at build
# time, into <build>/icons/hicolor, from where cmake/Install.cmake installs it.
if(KR450_GUI AND TARGET kr450_ui)
  add_executable(kr450-icon-export icon_export/main.cpp)
  target_link_libraries(kr450-icon-export PRIVATE kr450_ui Qt6::Gui)

  set(KR450_ICON_THEME_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
  # The sizes desktops ask an icon theme for.
  set(KR450_ICON_SIZES 16 22 24 32 48 64 128 256)
  set(icon_files)
  foreach(size IN LISTS KR450_ICON_SIZES)
    list(APPEND icon_files ${KR450_ICON_THEME_DIR}/${size}x${size}/apps/kr450.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
    COMMAND $<TARGET_FILE:kr450-icon-export> ${KR450_ICON_THEME_DIR} ${KR450_ICON_SIZES}
    DEPENDS kr450-icon-export
    COMMENT "Rendering the desktop icon"
    VERBATIM)
  add_custom_target(kr450_icons ALL DEPENDS ${icon_files})
  set(KR450_ICON_THEME_DIR ${KR450_ICON_THEME_DIR} PARENT_SCOPE)
  set(KR450_ICON_SIZES ${KR450_ICON_SIZES} PARENT_SCOPE)
endif()
