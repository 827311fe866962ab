kr450_add_test(NAME actions_tests
  SOURCES
    actions/executor_functions_test.cpp
    actions/executor_macro_test.cpp
    actions/key_table_test.cpp
    actions/input_backends_test.cpp
    actions/shell_operations_test.cpp
  LIBS kr450_actions)

# XTest events reaching a real X client, and the pointer control, under Xvfb.
kr450_add_test(NAME actions_xtest_tests X11
  SOURCES actions/xtest_input_test.cpp
  LIBS kr450_actions X11)

# kr450-cli run and sim on the simulated mouse.
kr450_add_test(NAME actions_cli_tests
  SOURCES actions/cli_action_test.cpp
  LIBS kr450_cli)
