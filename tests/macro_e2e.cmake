# A macro from the keyboard to another program through the real window, under Xvfb with
# openbox: recorded with the window's record button while another client has the focus, saved,
# given to a button with the slot's menu, applied, and played back by a press of the simulated
# button. The other client is kr450-test-key-logger, which logs the key events it receives.
if(KR450_GUI AND TARGET kr450)
  add_executable(kr450-test-key-logger macro_e2e/x11_key_logger.cpp)
  target_link_libraries(kr450-test-key-logger PRIVATE X11)

  kr450_add_test(NAME macro_e2e_tests X11
    SOURCES macro_e2e/macro_e2e_test.cpp
    LIBS kr450_instance kr450_skin kr450_macro_model)
  add_dependencies(macro_e2e_tests kr450 kr450-test-key-logger)
  # It measures delays in milliseconds: no other test runs beside it.
  set_tests_properties(macro_e2e_tests PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
endif()
