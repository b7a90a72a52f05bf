# Tests of the application object, the dialogs, language menus, file history and menu shortcuts.
if(NOT WIN32)
  return()
endif()

# A square-wave tone as a raw-data resource: a complete WAVE image in the format of the game's
# sounds (PCM mono 16-bit 20,000 Hz), written as the words of an RCDATA block. samples must be
# a multiple of 100.
function(tess_tone_rcdata var name samples)
  math(EXPR bytes "${samples} * 2")
  math(EXPR riff "${bytes} + 36")
  math(EXPR lines "${samples} / 100 - 1")
  string(REPEAT "0x1000, " 50 high)
  string(REPEAT "0xF000, " 50 low)
  string(REPEAT "0xF000, " 49 lastLow)
  string(REPEAT "  ${high}${low}\n" ${lines} body)
  set(${var} "${name} RCDATA\nBEGIN\n  0x46464952L, ${riff}L, 0x45564157L, 0x20746D66L, 16L, 1, 1, 20000L, 40000L, 2, 16, 0x61746164L, ${bytes}L,\n${body}  ${high}${lastLow}0xF000\nEND\n" PARENT_SCOPE)
endfunction()

tess_tone_rcdata(tone TONE 5000)
tess_tone_rcdata(longTone LONGTONE 40000)
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/app_test_tones.rc CONTENT "${tone}${longTone}")

# The sound test listens to a file of its own, so that no other test's sound can mix in.
set(app_audio_dir ${CMAKE_CURRENT_BINARY_DIR}/app_audio)
file(CONFIGURE OUTPUT ${app_audio_dir}/asound.conf CONTENT "pcm.!default {
  type file
  slave.pcm { type null }
  file \"${app_audio_dir}/audio.raw\"
  format \"raw\"
}
")

set(app_test_support ${CMAKE_CURRENT_LIST_DIR}/app_test_support.cpp)

tess_test(smallib_application_test DISPLAY
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/application_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app_test.rc
    ${app_test_support}
  LIBS tess_smallib_app tess_win_test_support ole32)
target_include_directories(smallib_application_test PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(smallib_application_test PROPERTIES
  ENVIRONMENT "ALSA_CONFIG_PATH=${app_audio_dir}/asound.conf;TESS_AUDIO_RAW=${app_audio_dir}/audio.raw")

tess_test(smallib_menus_test DISPLAY
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/menus_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/menus_test.rc
    ${app_test_support}
  LIBS tess_smallib_app tess_win_test_support)

# The about box needs the program's dialog template and icon.
tess_test(smallib_dialogs_test DISPLAY
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.cpp
    ${app_test_support}
  LIBS tess_smallib_app tess_resources tess_win_test_support)

# The about box once more at 150 %.
tess_test_at_dpi(smallib_dialogs_test 144 FILTER "DialogTest.AboutBox*:DialogTest.OptionalLines*")
