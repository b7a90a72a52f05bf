# Tests of the tile painting and the puzzle window: memory bitmaps, real windows and real messages under Wine.
if(NOT WIN32)
  return()
endif()

tess_test(tile_paint_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tile_paint_test.cpp LIBS tess_tile_paint)
