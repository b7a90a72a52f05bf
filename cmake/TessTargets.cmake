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

# tess_test_at_dpi(<test> <dpi> [FILTER <gtest filter>])
# Runs the Windows test program <test> once more, as test <test>_dpi<dpi>, in a Wine prefix of
# its own whose screen reads as <dpi> dots per inch. The fixture test wine_prefix_dpi<dpi>
# prepares that prefix (scripts/wine-dpi-prefix.sh) before the first test that needs it, also
# when only some tests are chosen. TESS_EXPECT_DPI tells the program which DPI to expect.
function(tess_test_at_dpi name dpi)
  cmake_parse_arguments(ARG "" "FILTER" "" ${ARGN})
  if(NOT TARGET ${name} OR NOT CMAKE_CROSSCOMPILING)
    return()
  endif()
  set(prefix ${PROJECT_BINARY_DIR}/wineprefix-dpi${dpi})
  set(setup wine_prefix_dpi${dpi})
  # if(TEST) sees only the tests of the current folder; the fixture is one for the whole build.
  get_property(prepared GLOBAL PROPERTY TESS_DPI_PREFIXES)
  if(NOT dpi IN_LIST prepared)
    set_property(GLOBAL APPEND PROPERTY TESS_DPI_PREFIXES ${dpi})
    add_test(NAME ${setup} COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-dpi-prefix.sh ${prefix} ${dpi})
    set_tests_properties(${setup} PROPERTIES FIXTURES_SETUP ${setup} TIMEOUT 300)
    # Sound goes into a file of these runs' own, so that the tests that listen to it still
    # hear only themselves.
    file(CONFIGURE OUTPUT ${prefix}-asound.conf CONTENT "pcm.!default {
  type file
  slave.pcm { type null }
  file \"${prefix}-audio.raw\"
  format \"raw\"
}
")
  endif()
  set(args)
  if(ARG_FILTER)
    set(args --gtest_filter=${ARG_FILTER})
  endif()
  add_test(NAME ${name}_dpi${dpi} COMMAND ${name} ${args})
  set_tests_properties(${name}_dpi${dpi} PROPERTIES
    FIXTURES_REQUIRED ${setup}
    ENVIRONMENT "WINEPREFIX=${prefix};TESS_EXPECT_DPI=${dpi};ALSA_CONFIG_PATH=${prefix}-asound.conf;TESS_AUDIO_RAW=${prefix}-audio.raw"
    RESOURCE_LOCK tess_display
    TIMEOUT 300)
endfunction()
