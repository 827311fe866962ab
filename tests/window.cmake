# The window program: its life and its pointer in this process without a display, the single
# instance with the real programs, and the real window on an X display with a window manager
# and a tray host, driven with the real pointer.
if(KR450_GUI AND TARGET kr450_window)
  kr450_add_test(NAME app_window_tests OFFSCREEN
    SOURCES
      app/window_test_main.cpp
      app/window_lifecycle_test.cpp
      app/window_pointer_test.cpp
      app/window_menus_test.cpp
    LIBS kr450_window)

  # The windows run offscreen; under xvfb-run their synthesised input (the close sequence's
  # Alt key-ups) reaches the test's own display, not the desktop of whoever runs the tests.
  kr450_add_test(NAME app_window_instance_tests X11
    SOURCES app/window_process_test.cpp
    LIBS kr450_cli)
  add_dependencies(app_window_instance_tests kr450 kr450-cli)

  kr450_add_test(NAME app_window_desktop_tests X11 QT_MAIN
    SOURCES app/window_desktop_test.cpp
    LIBS kr450_ui)
  add_dependencies(app_window_desktop_tests kr450 kr450-x11-grab)
  set_tests_properties(app_window_instance_tests app_window_desktop_tests PROPERTIES TIMEOUT 300)
  # Under AddressSanitizer the window's leak check at exit ignores libdbus's own connection.
  set_tests_properties(app_window_desktop_tests PROPERTIES ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/app/lsan_desktop.supp")
endif()
