# Helpers that declare the project's targets the same way everywhere.
include_guard(GLOBAL)

# Warnings for the project's own code; tests also treat them as errors.
function(tess_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# tess_library(<name> [PORTABLE] SOURCES ... [LIBS ...])
# A unit of the program. PORTABLE units build in the native Linux build too.
function(tess_library name)
  cmake_parse_arguments(ARG "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_PORTABLE AND NOT WIN32)
    return()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tess_warnings(${name})
endfunction()

# tess_test(<name> [PORTABLE] [DISPLAY] SOURCES ... [LIBS ...])
# A GoogleTest program with the shared main (tests/support/test_main.cpp); under the cross build
# CTest runs it through Wine. DISPLAY marks a program that shows windows, sends real keys and
# clicks or reads the screen: focus, mouse and screen belong to the whole display, where a window
# of one program takes the focus or the click of another, so these programs run one at a time.
function(tess_test name)
  cmake_parse_arguments(ARG "PORTABLE;DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_PORTABLE AND NOT WIN32)
    return()
  endif()
  if(TESS_FUZZ OR TESS_BENCH)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tess_test_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  tess_warnings(${name})
  target_compile_options(${name} PRIVATE -Werror)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_DISPLAY)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK tess_display)
  endif()
endfunction()
