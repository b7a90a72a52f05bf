# The per-user settings over the INI library (included from settings/CMakeLists.txt).
if(WIN32)
  set(TESS_USERSETTINGS_FOLDER ${CMAKE_CURRENT_LIST_DIR}/user_settings_folder_win32.cpp)
  set(TESS_USERSETTINGS_LIBS tess_settings shell32)
else()
  set(TESS_USERSETTINGS_FOLDER ${CMAKE_CURRENT_LIST_DIR}/user_settings_folder_posix.cpp)
  set(TESS_USERSETTINGS_LIBS tess_settings)
endif()

tess_library(tess_usersettings PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/user_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/user_settings_file.cpp
    ${TESS_USERSETTINGS_FOLDER}
  LIBS ${TESS_USERSETTINGS_LIBS})
