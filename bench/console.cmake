if(EXISTS ${CMAKE_SOURCE_DIR}/platform/sim/SimMachine.h)
  sonara_add_bench(bench_console SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/console.cpp
                   LIBS sonara_process sonara_console sonara_speech sonara_platform)
endif()
