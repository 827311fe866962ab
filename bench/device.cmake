kr450_add_bench(NAME bench_device_apply
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/device_apply.cpp
  LIBS kr450_device)
if(TARGET bench_device_apply)
  target_compile_definitions(bench_device_apply PRIVATE KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
