# The string list and the text encodings it reads and writes.
tess_library(tess_strings PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/string_list.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_encoding.cpp
  LIBS tess_common)
