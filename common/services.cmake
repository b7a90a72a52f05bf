# Registry reads, folders and system information, message boxes and sounds, file dates,
# command-line items, resource modules, icons, small drawing operations and DPI (Windows only).
tess_library(tess_services
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_info.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resource_modules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_trace.cpp
  LIBS tess_common tess_strings advapi32 shell32 gdi32 user32)
