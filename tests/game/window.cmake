# Tests of the tile painting and the puzzle window: memory bitmaps, real windows and real messages under Wine.
if(NOT WIN32)
  return()
endif()

tess_test(tile_paint_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tile_paint_test.cpp LIBS tess_tile_paint)

# The closing-sound check listens to an audio file of its own, so that no other test's sound
# can mix in.
set(puzzle_window_audio ${CMAKE_CURRENT_BINARY_DIR}/puzzle_window_audio)
file(CONFIGURE OUTPUT ${puzzle_window_audio}/asound.conf CONTENT "pcm.!default {
  type file
  slave.pcm { type null }
  file \"${puzzle_window_audio}/audio.raw\"
  format \"raw\"
}
")

tess_test(puzzle_window_test DISPLAY
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/puzzle_window_test.cpp ${CMAKE_CURRENT_LIST_DIR}/puzzle_comforts_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/puzzle_window_fixture.h
  LIBS tess_game_window tess_resources tess_win_test_support)
set_tests_properties(puzzle_window_test PROPERTIES
  ENVIRONMENT "ALSA_CONFIG_PATH=${puzzle_window_audio}/asound.conf;TESS_AUDIO_RAW=${puzzle_window_audio}/audio.raw")


# The window once more at 150 %. (The painting's tests set the board's DPI themselves.)
tess_test_at_dpi(puzzle_window_test 144)

tess_test(hint_window_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hint_window_test.cpp
  LIBS tess_game_window tess_resources tess_win_test_support)
