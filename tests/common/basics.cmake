# Tests of the text helpers, message box, path values and the platform seam.
tess_test(common_basics_test PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/text_helpers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/msgbox_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/program_path_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/platform_test.cpp
  LIBS tess_common)
