# The executable tessarino.exe and the start-up benchmark's reference program (Windows only).
if(NOT WIN32)
  return()
endif()

# tess_gui_program(<name> OUTPUT <file stem> SOURCES ... [LIBS ...])
# A GUI program with wWinMain, stripped in Release builds, placed in this folder of the build.
function(tess_gui_program name)
  cmake_parse_arguments(ARG "" "OUTPUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT}
                                           RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -municode $<$<CONFIG:Release,MinSizeRel>:-s>)
  tess_warnings(${name})
endfunction()

tess_gui_program(tessarino OUTPUT tessarino
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_CURRENT_LIST_DIR}/terminate_handler.cpp
  LIBS tess_game_window tess_usersettings tess_smallib tess_services tess_common tess_resources)

# The help page travels beside the program; "&Hilfe" opens it from there.
set(tess_help_copy ${CMAKE_CURRENT_BINARY_DIR}/zib.htm)
add_custom_command(OUTPUT ${tess_help_copy}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_PROPERTY:tess_resources,TESS_HELP_PAGE> ${tess_help_copy}
  DEPENDS $<TARGET_PROPERTY:tess_resources,TESS_HELP_PAGE>
  COMMENT "Copying the help page beside tessarino.exe")
add_custom_target(tessarino_help_page DEPENDS ${tess_help_copy})
add_dependencies(tessarino tessarino_help_page)

# The smallest window program that paints, as the start-up benchmark's yardstick: once bare,
# once with tessarino.exe's manifest, whose common controls and themes cost time of their own.
tess_gui_program(tess_minimal_window OUTPUT minimal_window
  SOURCES ${PROJECT_SOURCE_DIR}/bench/minimal_window.cpp ${PROJECT_SOURCE_DIR}/common/startup_trace.cpp
  LIBS user32 gdi32)
tess_gui_program(tess_minimal_window_manifest OUTPUT minimal_window_manifest
  SOURCES ${PROJECT_SOURCE_DIR}/bench/minimal_window.cpp ${PROJECT_SOURCE_DIR}/common/startup_trace.cpp
          ${PROJECT_SOURCE_DIR}/bench/minimal_window_manifest.rc
  LIBS user32 gdi32)
set_source_files_properties(${PROJECT_SOURCE_DIR}/bench/minimal_window_manifest.rc
  PROPERTIES OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/tessarino.manifest)
