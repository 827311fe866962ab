# What `cmake --install` puts where, and the Debian package (`cmake --build <dir> --target
# package`). The programs find their shipped files relative to themselves (bin/../share/kr450),
# so any prefix works; the package uses /usr.
include(GNUInstallDirs)
set(KR450_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kr450)
set(KR450_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)

install(TARGETS kr450-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kr450)
  install(TARGETS kr450 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The pristine configuration and macros the user's own copies are made from, and the skin.
install(FILES data/config.ini data/Macro.dat DESTINATION ${KR450_SHARE_DIR}/defaults)
install(DIRECTORY data/skins DESTINATION ${KR450_SHARE_DIR})

# Access to the mouse and to /dev/uinput, and the driver's start when the mouse arrives. Both
# folders are in udev's and the user service manager's search paths for /usr and /usr/local.
install(FILES data/70-kr450.rules DESTINATION lib/udev/rules.d)
install(FILES data/kr450.service DESTINATION lib/systemd/user)

# The desktop's menu entry and its icon at every size the theme offers.
install(FILES data/kr450.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
if(TARGET kr450_icons)
  foreach(size IN LISTS KR450_ICON_SIZES)
    install(FILES ${KR450_ICON_THEME_DIR}/${size}x${size}/apps/kr450.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# Manual pages, compressed as the distribution ships them.
foreach(page kr450.1 kr450-cli.1)
  add_custom_command(OUTPUT ${KR450_PACKAGE_DIR}/${page}.gz
    COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/data/${page} > ${KR450_PACKAGE_DIR}/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND kr450_man_pages ${KR450_PACKAGE_DIR}/${page}.gz)
endforeach()
file(MAKE_DIRECTORY ${KR450_PACKAGE_DIR})
add_custom_target(kr450_man_pages ALL DEPENDS ${kr450_man_pages})
install(FILES ${kr450_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kr450)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT
    "KR-450 driver maintainers <maintainers@users.noreply.c-seed-475c0661.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "driver and configuration utility of the KR-450 gaming mouse")
# The long description, in lines that fit a terminal of 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Configures the six buttons, four DPI stages, lighting and macros of the\n"
  "KR-450 USB gaming mouse, writes them to the mouse and performs the functions\n"
  "the mouse leaves to the driver (DPI stepping, shortcuts, media keys, macros)\n"
  "by synthesised input. The udev rule gives the user at the seat access to the\n"
  "mouse and to /dev/uinput, and starts the driver in the notification area\n"
  "whenever the mouse is plugged in. kr450-cli does the same from the command\n"
  "line. Both run with a simulated mouse (--simulate).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the skin's captions need the font it maps to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/cmake/debian/postinst ${CMAKE_SOURCE_DIR}/cmake/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

# The documents every Debian package carries.
string(TIMESTAMP KR450_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(cmake/debian/changelog.in ${KR450_PACKAGE_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${KR450_PACKAGE_DIR}/changelog.gz
  COMMAND gzip -9 -n -c ${KR450_PACKAGE_DIR}/changelog > ${KR450_PACKAGE_DIR}/changelog.gz
  DEPENDS ${KR450_PACKAGE_DIR}/changelog)
add_custom_target(kr450_changelog ALL DEPENDS ${KR450_PACKAGE_DIR}/changelog.gz)
install(FILES ${KR450_PACKAGE_DIR}/changelog.gz cmake/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
include(CPack)
