# Tests of the framework's object lists.
tess_test(smallib_lists_test PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/slist_test.cpp
  LIBS tess_lists)
