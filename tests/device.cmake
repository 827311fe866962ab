# Device link tests: the simulated mouse end to end, the report descriptor parser on recorded
# descriptors, the resume watcher on a private bus, and the device commands of kr450-cli.
pkg_check_modules(KR450_TEST_SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)

kr450_add_test(NAME device_tests
  SOURCES
    device/apply_config_test.cpp
    device/collection_text_test.cpp
    device/discovery_test.cpp
    device/input_reader_test.cpp
    device/prompt_blinker_test.cpp
    device/report_descriptor_test.cpp
    device/resume_watcher_test.cpp
    device/simulated_mouse_test.cpp
  LIBS kr450_device PkgConfig::KR450_TEST_SYSTEMD)

kr450_add_test(NAME device_cli_tests
  SOURCES device/cli_device_commands_test.cpp
  LIBS kr450_cli)

# The hidraw backend on the real kernel interface; skips itself without /dev/uhid.
kr450_add_test(NAME device_hidraw_tests
  SOURCES device/hidraw_uhid_test.cpp
  LIBS kr450_device)
