kr450_add_fuzzer(NAME fuzz_skin_entry
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_skin_entry.cpp
  LIBS kr450_skin)
