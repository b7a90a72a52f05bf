# Tests of the window framework: real windows and real messages under Wine.
tess_test(smallib_framework_test DISPLAY
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/framework_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fonts_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ctrl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_proc_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winctrl0_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winctrl_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/framework_test.rc
  LIBS tess_smallib tess_win_test_support)

# A screenshot of a form with the program's own menu and icon, painted as the game paints; the
# picture stays in the build tree (framework_form.png) for a look.
if(TARGET tess_resources)
  tess_test(smallib_framework_screenshot_test DISPLAY
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/framework_test_support.cpp
      ${CMAKE_CURRENT_LIST_DIR}/form_screenshot_test.cpp
      $<TARGET_OBJECTS:tess_resources>
    LIBS tess_smallib tess_win_test_support)
  target_compile_definitions(smallib_framework_screenshot_test PRIVATE TESS_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
endif()
