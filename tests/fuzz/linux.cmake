# Input translation of the Linux back end: text events (UTF-8 from the X input method)
# and key events with any fields.
sonara_add_fuzz(fuzz_linux_input SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/linux_input.cpp
  LIBS sonara_platform_linux sonara_platform)
# The speech server's voice list, read as it arrives.
sonara_add_fuzz(fuzz_speechd_voice_list SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/speechd_voice_list.cpp
  LIBS sonara_platform_linux sonara_platform)
