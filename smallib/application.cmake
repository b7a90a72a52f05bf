# The application's loop, sounds and hidden window, the dialogs, language menus, file history and menu shortcuts.
if(WIN32)
  tess_library(tess_smallib_app
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/about_box.cpp
      ${CMAKE_CURRENT_LIST_DIR}/app_form.cpp
      ${CMAKE_CURRENT_LIST_DIR}/app_loop.cpp
      ${CMAKE_CURRENT_LIST_DIR}/app_sound.cpp
      ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
      ${CMAKE_CURRENT_LIST_DIR}/file_history.cpp
      ${CMAKE_CURRENT_LIST_DIR}/font_dialog.cpp
      ${CMAKE_CURRENT_LIST_DIR}/lang_menu.cpp
      ${CMAKE_CURRENT_LIST_DIR}/shortcuts.cpp
    LIBS tess_smallib tess_services tess_langua tess_common
         $<TARGET_NAME_IF_EXISTS:tess_usersettings> shell32 user32 gdi32)
  # The forms translate shortcuts and the application object shows the about box with these
  # sources, which in turn build on the forms: whoever links one library gets both.
  if(TARGET tess_smallib)
    target_link_libraries(tess_smallib PUBLIC tess_smallib_app)
  endif()
endif()
