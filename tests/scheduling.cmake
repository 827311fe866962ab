# The workers' scheduling: real-time where the process may, the watchdog, and RealtimeKit on a
# private system bus for an ordinary user (needs root to start rtkit-daemon; skips otherwise).
pkg_check_modules(KR450_SCHEDULING_TEST_SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)

kr450_add_test(NAME scheduling_tests
  SOURCES actions/worker_scheduling_test.cpp
  LIBS kr450_actions PkgConfig::KR450_SCHEDULING_TEST_SYSTEMD)
