# The speech server path on Linux (speech-dispatcher): Speak to the begin notification and
# to the first audio, and stop latency, beside spd-say with espeak-ng on the same server.
if(TARGET sonara_platform_linux)
  sonara_add_bench(bench_speech_server SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/speech_server.cpp
                   LIBS sonara_platform_linux sonara_platform)
endif()
