# Text helpers, message box, program path values, exceptions and the platform seam.
if(WIN32)
  set(TESS_PLATFORM_SOURCE ${CMAKE_CURRENT_LIST_DIR}/platform_win32.cpp)
  set(TESS_PLATFORM_LIBS user32 shell32)
else()
  set(TESS_PLATFORM_SOURCE ${CMAKE_CURRENT_LIST_DIR}/platform_posix.cpp)
  set(TESS_PLATFORM_LIBS)
endif()

tess_library(tess_common PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/common_unit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exceptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/msgbox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/platform_shared.cpp
    ${TESS_PLATFORM_SOURCE}
    ${CMAKE_CURRENT_LIST_DIR}/program_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_helpers.cpp
  LIBS ${TESS_PLATFORM_LIBS})
