# The framework's object lists.
tess_library(tess_lists PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/slist.cpp
  LIBS tess_common)
