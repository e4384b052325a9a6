# The library's Debian packages: liblux-transitions1 (the shared library) and
# liblux-transitions-dev (headers, CMake package, pkg-config file, the
# unversioned link), made by cpack in a library-only build (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lux-transitions)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TK790 Flash Update <flashupdate@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated window transitions for Qt 6 Widgets")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME liblux-transitions${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "58 animated window transitions for Qt 6 Widgets programs: the shared library.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME liblux-transitions-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "liblux-transitions${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "58 animated window transitions for Qt 6 Widgets programs: headers (<lux/transitions.h> and the component "
  "interface), the CMake package LuxTransitions and the pkg-config file lux-transitions.")
include(CPack)
