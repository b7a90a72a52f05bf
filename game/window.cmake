# The puzzle window and its painting (Windows only); included from game/CMakeLists.txt.
if(NOT WIN32)
  return()
endif()

# Tile painting draws into any device context, so its tests need no window.
tess_library(tess_tile_paint
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tile_paint.cpp ${CMAKE_CURRENT_LIST_DIR}/tile_paint.h
  LIBS tess_board tess_smallib tess_services gdi32 user32)

# The puzzle window, a library so that in-process tests drive the real window.
tess_library(tess_game_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/puzzle_form.cpp ${CMAKE_CURRENT_LIST_DIR}/puzzle_form.h
          ${CMAKE_CURRENT_LIST_DIR}/puzzle_comforts.cpp
          ${CMAKE_CURRENT_LIST_DIR}/hint_control.cpp ${CMAKE_CURRENT_LIST_DIR}/hint_control.h
  LIBS tess_solver tess_tile_paint tess_board tess_game_comforts tess_smallib tess_usersettings tess_services tess_common user32 gdi32)
