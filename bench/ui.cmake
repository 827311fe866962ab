if(KR450_GUI)
  kr450_add_bench(NAME bench_ui_window_shape
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui_window_shape.cpp
    LIBS kr450_ui)
  if(TARGET bench_ui_window_shape)
    target_compile_definitions(bench_ui_window_shape PRIVATE KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
endif()

if(KR450_GUI)
  # A full paint of each page from kept pictures against decoding them at every paint.
  kr450_add_bench(NAME bench_ui_paint
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui_paint.cpp
    LIBS kr450_ui)
endif()

if(KR450_GUI)
  # Pointer move to repainted frame: repaint on a hover change against every move.
  add_executable(bench_ui_hover ${CMAKE_CURRENT_SOURCE_DIR}/ui_hover.cpp)
  target_link_libraries(bench_ui_hover PRIVATE kr450_ui kr450_window_logic)
  target_compile_definitions(bench_ui_hover PRIVATE KR450_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
