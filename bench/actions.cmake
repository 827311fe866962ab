kr450_add_bench(NAME bench_actions
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/actions_timing.cpp
  LIBS kr450_actions)
if(TARGET bench_actions)
  target_compile_definitions(bench_actions PRIVATE KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
