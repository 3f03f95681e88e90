# The phoneme-line engine's text pipeline in characters per second.
sonara_add_bench(bench_tavena SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tavena.cpp LIBS sonara_tavena)
# TavenaSpeak of a sentence to its first block at the wave output, on the simulated
# machine with a fake synthesizer library that gives silence.
sonara_add_bench(bench_tavena_speak
                 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tavena_speak.cpp
                         ${CMAKE_SOURCE_DIR}/tests/tavena/support/FakeMbrola.cpp
                         ${CMAKE_SOURCE_DIR}/tests/tavena/support/TavenaTestData.cpp
                 LIBS sonara_process sonara_tavena sonara_diphone sonara_platform)
if(TARGET bench_tavena_speak)
  target_compile_definitions(bench_tavena_speak PRIVATE SONARA_DATA_ROOT="${SONARA_DATA_ROOT}")
endif()
