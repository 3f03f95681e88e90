# The braille display's key events: the key translator and the BrlAPI key codes.
if(EXISTS ${CMAKE_SOURCE_DIR}/platform/sim/SimMachine.h AND TARGET sonara_platform_linux)
  sonara_add_fuzz(fuzz_braille_display_keys
                  SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/braille_display_keys.cpp
                  LIBS sonara_process sonara_console sonara_speech sonara_platform_linux
                       sonara_platform)
endif()
