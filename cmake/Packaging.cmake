# What `cmake --install` puts under the prefix, and the Debian package CPack
# makes of it (scripts/package). Tests, benchmarks, fuzzers and the picture
# tools are not installed.
include(GNUInstallDirs)

set(_programs flashupdate flashupdate-cli board-sim)
if(TARGET lux-preview)
  list(APPEND _programs lux-preview)
endif()
install(TARGETS ${_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The menu entry and its icon; an installed program also keeps its settings in
# the user's configuration folder when it finds the entry beside its bin/.
install(FILES ${PROJECT_SOURCE_DIR}/resources/flashupdate.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/flashupdate-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME flashupdate.png)
endforeach()

# Manual pages, compressed as Debian keeps them.
set(_pages)
foreach(program ${_programs})
  set(_page ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/man/${program}.1 > ${_page}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${program}.1
    VERBATIM)
  list(APPEND _pages ${_page})
endforeach()
add_custom_target(manpages ALL DEPENDS ${_pages})
install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME flashupdate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TK790 Flash Update <flashupdate@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sends a file to an embedded board over a serial port")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "TK790 Flash Update sends a file to a board's loader over a serial port, paced line by line or "
  "block by block, with progress and a log of the board's replies. The package holds the window "
  "program (flashupdate), the command-line sender (flashupdate-cli), a board simulator on a "
  "pseudo-terminal (board-sim) and the previewer of the window transitions (lux-preview).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# dpkg-shlibdeps finds the libraries the programs link (Qt 6, libjpeg, the C++
# runtime); Qt loads the window system's plugin at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
