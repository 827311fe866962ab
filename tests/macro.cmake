kr450_add_test(NAME macro_model_tests
  SOURCES
    macro/macro_file_test.cpp
    macro/shipped_macros_test.cpp
  LIBS kr450_macro_model)
