if(KR450_GUI AND TARGET kr450)
  # The bare Qt window with one JPEG that the window bench measures beside kr450.
  add_executable(bench_window_baseline ${CMAKE_CURRENT_SOURCE_DIR}/window_baseline.cpp)
  target_link_libraries(bench_window_baseline PRIVATE Qt6::Widgets)

  # Start-up to the first paint, resident memory and wake-ups at rest of the real window on a
  # private Xvfb, each beside the baseline. A plain program: it measures processes.
  add_executable(bench_window ${CMAKE_CURRENT_SOURCE_DIR}/window_startup.cpp)
  target_include_directories(bench_window PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(bench_window PRIVATE KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                             KR450_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  add_dependencies(bench_window kr450 bench_window_baseline kr450_data)
endif()
