# The speech facade: Speak to the first block on the simulated machine; on the Linux back
# end (SDL's dummy driver) Speak to the first block played, a key to waveOutReset, and the
# CPU a long utterance takes while it plays.
sonara_add_bench(bench_speech_sim SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/speech_sim.cpp
                 LIBS sonara_process sonara_speech sonara_diphone sonara_console sonara_platform)
if(TARGET sonara_platform_linux)
  sonara_add_bench(bench_speech_linux SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/speech_linux.cpp
                   LIBS sonara_process sonara_speech sonara_diphone sonara_console
                        sonara_platform_linux sonara_platform)
endif()
