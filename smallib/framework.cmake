# The window framework: fonts, controls, the window procedure, containers, forms and the application object.
tess_library(tess_smallib
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/application.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ctrl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_names.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winctrl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winctrl0.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_proc.cpp
  LIBS tess_lists tess_services tess_strings tess_langua tess_common user32 gdi32)
