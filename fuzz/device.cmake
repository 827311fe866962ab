kr450_add_fuzzer(NAME fuzz_report_descriptor
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_report_descriptor.cpp
  LIBS kr450_hid_descriptor)
