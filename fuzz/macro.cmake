kr450_add_fuzzer(NAME fuzz_macro_file
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_macro_file.cpp
  LIBS kr450_macro_model)
