# Helper functions shared by every folder: one call per library, executable or test folder.

# Warnings are errors in our own code only (not in Qt's generated files).
function(lux_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# lux_add_library(<name> SOURCES <files...> DEPS <targets...>)
# The project's root is the include root of every library, so an include names
# the library folder it comes from: #include "effects/bitmap/luxbitmap.h".
function(lux_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  lux_warnings(${name})
endfunction()

# lux_add_executable(<name> SOURCES <files...> DEPS <targets...>)
function(lux_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  lux_warnings(${name})
endfunction()

# lux_add_tests(<folder> DEPS <targets...> [LABELS <labels...>])
# Every <folder>/*_test.cpp becomes one test executable, linked with the shared
# test main (which creates a QApplication) and registered with CTest.
function(lux_add_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  foreach(src ${test_sources})
    get_filename_component(base ${src} NAME_WE)
    string(REPLACE "/" "_" prefix ${folder})
    set(target test_${prefix}_${base})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE luxtestsupport ${ARG_DEPS})
    target_compile_definitions(${target} PRIVATE
      LUX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/${folder}/data"
      LUX_BINARY_DIR="${PROJECT_BINARY_DIR}")
    lux_warnings(${target})
    add_test(NAME ${prefix}/${base} COMMAND ${target})
    set_tests_properties(${prefix}/${base} PROPERTIES TIMEOUT 600 LABELS "${folder};${ARG_LABELS}")
    # Tests that show windows or read the screen back share one X display under ctest -j:
    # run them one at a time so their windows never overlap.
    file(STRINGS ${src} screen_use REGEX "CaptureScreen|GrabDesktop|grabWindow|[.>]show\\(\\)|showForm|FreezeControl")
    # Labelled "window": scripts/test runs these once more under a window manager
    # and once more with a compositor as well.
    if(screen_use)
      set_tests_properties(${prefix}/${base} PROPERTIES RESOURCE_LOCK x11screen LABELS "${folder};window;${ARG_LABELS}")
    endif()
  endforeach()
endfunction()
