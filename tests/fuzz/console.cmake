if(EXISTS ${CMAKE_SOURCE_DIR}/platform/sim/SimMachine.h)
  sonara_add_fuzz(fuzz_console_input SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/console_input.cpp
                  LIBS sonara_process sonara_console sonara_speech sonara_platform)
endif()
