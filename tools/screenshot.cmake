# The grabber of the screenshot script (tools/screenshots.sh).
if(KR450_GUI)
  add_executable(kr450-x11-grab screenshot/x11_grab.cpp)
  target_link_libraries(kr450-x11-grab PRIVATE Qt6::Gui)
endif()
