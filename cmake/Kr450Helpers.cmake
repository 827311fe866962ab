# kr450_add_test(NAME name SOURCES ... LIBS ... [X11] [OFFSCREEN] [QT_MAIN])
# One GoogleTest executable registered with CTest. X11 tests run under their own Xvfb.
# QT_MAIN tests get tests/support/qt_test_main.cpp, which creates the QGuiApplication, instead
# of GoogleTest's main. Test sources include the shared helpers as "tests/support/...".
function(kr450_add_test)
  cmake_parse_arguments(T "X11;OFFSCREEN;QT_MAIN" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(T_QT_MAIN)
    target_sources(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/qt_test_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Gui)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KR450_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    KR450_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  add_dependencies(${T_NAME} kr450_data)
  if(T_X11)
    # -noreset: an X server resets when its last client leaves, and a test that connects
    # during the reset finds no display.
    add_test(NAME ${T_NAME}
             COMMAND xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" $<TARGET_FILE:${T_NAME}>)
    set_tests_properties(${T_NAME} PROPERTIES LABELS x11)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(T_OFFSCREEN)
      set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()

# kr450_add_fuzzer(NAME name SOURCES ... LIBS ...): only with KR450_FUZZ (clang, libFuzzer).
function(kr450_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT KR450_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
endfunction()

# kr450_add_bench(NAME name SOURCES ... LIBS ...): Google Benchmark programs, not run by CTest.
function(kr450_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT benchmark_FOUND)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_include_directories(${B_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${B_NAME} PRIVATE KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_dependencies(${B_NAME} kr450_data)
endfunction()
