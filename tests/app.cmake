# The single instance: the line protocol, the private folder and the keys, the guard with
# real processes contending, and kr450-cli's drivers meeting each other.
add_executable(kr450_instance_helper app/instance_helper.cpp)
target_link_libraries(kr450_instance_helper PRIVATE kr450_instance)

kr450_add_test(NAME app_instance_tests
  SOURCES
    app/instance_protocol_test.cpp
    app/instance_paths_test.cpp
    app/instance_guard_test.cpp
  LIBS kr450_instance)
add_dependencies(app_instance_tests kr450_instance_helper)

# The folder checks once more as an ordinary user.
add_test(NAME app_instance_folder_as_user
  COMMAND ${CMAKE_SOURCE_DIR}/tests/run_as_user.sh $<TARGET_FILE:app_instance_tests>
          --gtest_filter=PrivateFolder.*:InstanceFolder.*)

# kr450-cli run and sim take the same guard.
kr450_add_test(NAME app_instance_cli_tests
  SOURCES app/instance_cli_test.cpp
  LIBS kr450_cli)
add_dependencies(app_instance_cli_tests kr450-cli kr450_instance_helper)
