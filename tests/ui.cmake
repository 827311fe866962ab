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

# The lighting preview worker on a scripted clock, and its stop on the engine's clock.
kr450_add_test(NAME ui_lighting_preview_tests
  SOURCES ui/lighting_preview_test.cpp
  LIBS kr450_skin kr450_device)

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

# The main window's interaction without a display: every control by page, the drag, the
# function menus, the warning and the owner-drawn menu look, against a recording platform.
kr450_add_test(NAME ui_window_logic_tests
  SOURCES
    ui/window_controller_test.cpp
    ui/function_menu_test.cpp
    ui/popup_paint_plan_test.cpp
    ui/zel_menu_layout_test.cpp
  LIBS kr450_window_logic)

# The advanced page's macro editor as widgets, offscreen: its own main makes the QApplication
# that widgets need.
if(KR450_GUI)
  kr450_add_test(NAME ui_macro_widgets_tests OFFSCREEN
    SOURCES ui/advanced_page_editor_test.cpp
    LIBS kr450_macro_widgets)
endif()
