# Tests of the window framework: real windows and real messages under Wine.
tess_test(smallib_framework_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/framework_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fonts_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ctrl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_proc_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winctrl0_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winctrl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/framework_test.rc
  LIBS tess_smallib)
