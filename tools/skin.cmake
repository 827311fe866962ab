# The default skin's generator. `cmake --build <dir> --target skin` regenerates data/skins/
# and the previews in tools/skin_generator/preview/ from the one description of the layout.
if(KR450_GUI)
  add_library(kr450_skin_art STATIC
    skin_generator/mouse_art.cpp
    skin_generator/art_kit.cpp
    skin_generator/control_looks.cpp
    skin_generator/page_art.cpp
    skin_generator/popup_art.cpp
    skin_generator/skin_design.cpp
    skin_generator/skin_preview.cpp
    skin_generator/skin_writer.cpp)
  target_include_directories(kr450_skin_art PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/skin_generator)
  target_link_libraries(kr450_skin_art PUBLIC kr450_ui Qt6::Gui)

  add_executable(kr450-skin-generator skin_generator/main.cpp)
  target_link_libraries(kr450-skin-generator PRIVATE kr450_skin_art)

  add_custom_target(skin
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:kr450-skin-generator> ${CMAKE_SOURCE_DIR}/data/skins
            ${CMAKE_CURRENT_SOURCE_DIR}/skin_generator/preview
    DEPENDS kr450-skin-generator
    COMMENT "Regenerating data/skins and the skin previews"
    VERBATIM)
endif()
