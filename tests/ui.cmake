# The skin: splitter, tables and region rule without Qt; shapes, images and the shipped skin
# with Qt's offscreen platform.
kr450_add_test(NAME ui_skin_tests
  SOURCES
    ui/skin_entry_test.cpp
    ui/skin_layout_test.cpp
    ui/pixel_region_test.cpp
  LIBS kr450_skin)

# The paint plan, without a display.
kr450_add_test(NAME ui_paint_plan_tests
  SOURCES ui/paint_plan_test.cpp
  LIBS kr450_skin)

if(KR450_GUI)
  kr450_add_test(NAME ui_window_shape_tests OFFSCREEN QT_MAIN
    SOURCES ui/window_shape_test.cpp
    LIBS kr450_ui)
  kr450_add_test(NAME ui_skin_painter_tests OFFSCREEN QT_MAIN
    SOURCES ui/skin_painter_test.cpp
    LIBS kr450_ui)
  kr450_add_test(NAME ui_shipped_skin_tests OFFSCREEN QT_MAIN
    SOURCES ui/shipped_skin_test.cpp
    LIBS kr450_ui)
  if(TARGET kr450_skin_art)
    kr450_add_test(NAME ui_skin_generator_tests OFFSCREEN QT_MAIN
      SOURCES ui/skin_generator_test.cpp
      LIBS kr450_skin_art)
  endif()
endif()
