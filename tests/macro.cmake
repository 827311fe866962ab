kr450_add_test(NAME macro_model_tests
  SOURCES
    macro/macro_file_test.cpp
    macro/shipped_macros_test.cpp
  LIBS kr450_macro_model)

# The macro editor on plain controls and the recorder's rules on fed strokes and a fake clock.
kr450_add_test(NAME macro_editor_tests
  SOURCES
    macro/macro_editor_test.cpp
    macro/macro_recorder_test.cpp
  LIBS kr450_macro_editor)

# The X11 keyboard capture under Xvfb: strokes injected with XTest while another client has
# the focus, the grab's end with the process.
kr450_add_test(NAME macro_capture_x11_tests X11
  SOURCES macro/x11_keyboard_capture_test.cpp
  LIBS kr450_keyboard_capture_x11 X11 Xtst)
