kr450_add_bench(NAME bench_device_apply
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/device_apply.cpp
  LIBS kr450_device)
