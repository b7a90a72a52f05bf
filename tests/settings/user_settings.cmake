# Tests of the per-user settings (included from tests/settings/CMakeLists.txt).
tess_test(tess_user_settings_test PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/user_settings_test.cpp
  LIBS tess_usersettings)

if(TESS_FUZZ)
  return()
endif()

# Crash safety: a writer saves settings over and over and is killed at random moments. Natively
# the test forks the writer; on Windows it starts tess_save_writer.exe beside it. The benchmark
# build uses the same harness for its figure of torn files.
add_library(tess_save_generations STATIC
  ${CMAKE_CURRENT_LIST_DIR}/save_generations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_kills.cpp)
target_include_directories(tess_save_generations PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tess_save_generations PUBLIC tess_usersettings)
tess_warnings(tess_save_generations)
if(TESS_BENCH)
  return()
endif()

tess_test(tess_save_crash_test PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/save_crash_test.cpp
  LIBS tess_save_generations)

if(WIN32)
  add_executable(tess_save_writer ${CMAKE_CURRENT_LIST_DIR}/save_writer.cpp)
  target_link_libraries(tess_save_writer PRIVATE tess_save_generations)
  target_link_options(tess_save_writer PRIVATE -municode)
  tess_warnings(tess_save_writer)
  add_dependencies(tess_save_crash_test tess_save_writer)

  tess_test(tess_profile_interop_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_interop_test.cpp
    LIBS tess_usersettings)
endif()
