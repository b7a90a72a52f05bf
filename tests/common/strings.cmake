# Tests of the string list and the text encodings.
tess_test(common_strings_test PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/string_list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_encoding_test.cpp
  LIBS tess_strings)
