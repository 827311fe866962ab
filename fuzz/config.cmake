kr450_add_fuzzer(NAME fuzz_ini_reader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_ini_reader.cpp
                 LIBS kr450_config)
