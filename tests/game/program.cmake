# Tools of the end-to-end tests of tessarino.exe (scripts/test-e2e.sh); Windows only.
if(NOT WIN32)
  return()
endif()

# The end-to-end script's probe: reads and presses the game's windows from another process.
add_executable(tess_e2e_probe ${CMAKE_CURRENT_LIST_DIR}/e2e_probe.cpp)
set_target_properties(tess_e2e_probe PROPERTIES OUTPUT_NAME e2e_probe)
target_link_options(tess_e2e_probe PRIVATE -municode)
target_link_libraries(tess_e2e_probe PRIVATE user32)
tess_warnings(tess_e2e_probe)

# tessarino.exe must start on the oldest Windows it declares: no import that Vista lacks.
add_test(NAME tessarino_imports
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:tessarino>
          ${CMAKE_CURRENT_LIST_DIR}/tessarino_imports.txt)
