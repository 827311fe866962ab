kr450_add_bench(NAME bench_actions
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/actions_timing.cpp
  LIBS kr450_actions)
