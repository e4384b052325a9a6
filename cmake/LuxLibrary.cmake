# The transitions library as others take it: one versioned shared library
# (liblux-transitions.so.1) made of the platform and effects folders' objects,
# exporting only its public interface (lux-transitions.map), its headers
# under include/lux/ with their paths from the project root, a CMake package
# (find_package(LuxTransitions), target Lux::Transitions) and lux-transitions.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
find_package(X11 REQUIRED)

set(_parts)
foreach(part lux_platform luxutil luxbitmap luxpaint luxmasks luxengine luxforms luxtransitions)
  if(TARGET ${part})
    list(APPEND _parts $<TARGET_OBJECTS:${part}>)
  endif()
endforeach()

set(_map ${CMAKE_CURRENT_LIST_DIR}/library/lux-transitions.map)
add_library(lux_transitions SHARED ${_parts})
add_library(Lux::Transitions ALIAS lux_transitions)
set_target_properties(lux_transitions PROPERTIES
  OUTPUT_NAME lux-transitions
  EXPORT_NAME Transitions
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  LINK_DEPENDS ${_map})
# The library's own calls stay its own (-Bsymbolic-functions): a program with a
# function of the same name (its own IntersectRect) does not replace them.
target_link_options(lux_transitions PRIVATE "LINKER:--version-script=${_map}" "LINKER:--no-undefined"
  "LINKER:-Bsymbolic-functions")
target_link_libraries(lux_transitions PUBLIC Qt6::Widgets PRIVATE Qt6::Gui X11::X11)
# <lux/transitions.h> from include, the classic headers ("effects/forms/luxanimation.h") from include/lux.
target_include_directories(lux_transitions INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/lux>)

install(TARGETS lux_transitions EXPORT LuxTransitionsTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/include/lux/transitions.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lux COMPONENT dev)
foreach(dir ${LUX_LIBRARY_FOLDERS})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lux/${dir}
    COMPONENT dev FILES_MATCHING PATTERN "*.h")
endforeach()

set(_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/LuxTransitions)
install(EXPORT LuxTransitionsTargets NAMESPACE Lux:: DESTINATION ${_cmakedir} COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/library/LuxTransitionsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/LuxTransitionsConfig.cmake INSTALL_DESTINATION ${_cmakedir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LuxTransitionsConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LuxTransitionsConfig.cmake ${PROJECT_BINARY_DIR}/LuxTransitionsConfigVersion.cmake
  DESTINATION ${_cmakedir} COMPONENT dev)

# The .pc file finds its prefix from where it lies, so a copy installed with
# `cmake --install --prefix` elsewhere is right as well.
set(_up "")
set(_pcdir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
string(REPLACE "/" ";" _steps ${_pcdir})
foreach(_step ${_steps})
  string(APPEND _up "/..")
endforeach()
set(LUX_PC_PREFIX "\${pcfiledir}${_up}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/library/lux-transitions.pc.in ${PROJECT_BINARY_DIR}/lux-transitions.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lux-transitions.pc DESTINATION ${_pcdir} COMPONENT dev)

# The Debian packages liblux-transitions1 and liblux-transitions-dev
# (scripts/package); a host project's own packaging is left alone.
if(PROJECT_IS_TOP_LEVEL)
  include(${CMAKE_CURRENT_LIST_DIR}/library/LibraryPackaging.cmake)
endif()
