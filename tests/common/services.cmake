# Tests of the common services: registry, system information, message boxes, file dates,
# command-line items, resource modules, drawing, the start-up trace and the run-time look-ups
# (Windows build, run under Wine).
tess_test(common_services_test DISPLAY
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/registry_shortcuts_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_info_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_box_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dates_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resource_modules_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawing_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_trace_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/services_test.rc
  LIBS tess_services winmm)
