kr450_add_test(NAME config_tests
  SOURCES
    config/config_rules_test.cpp
    config/ini_file_test.cpp
    config/atomic_write_test.cpp
    config/regular_file_test.cpp
    config/config_store_test.cpp
    config/cli_config_test.cpp
    config/paths_test.cpp
  LIBS kr450_config kr450_cli)

# The failure paths of the atomic replace once more as an ordinary user.
add_test(NAME config_write_failures_as_user
  COMMAND ${CMAKE_SOURCE_DIR}/tests/run_as_user.sh $<TARGET_FILE:config_tests>
          --gtest_filter=AtomicWrite.*:RegularFile.*:Paths.*)
