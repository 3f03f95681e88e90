# The letter game's clip wait on the Linux back end (needs the media pack).
if(TARGET sonara_game AND TARGET sonara_platform_linux
   AND EXISTS ${CMAKE_SOURCE_DIR}/platform/linux/LinuxBackend.h)
  sonara_add_bench(bench_game_clip_wait SOURCES game_clip_wait.cpp
                   LIBS sonara_game sonara_process sonara_console sonara_speech
                        sonara_platform_linux sonara_platform)
endif()
if(TARGET bench_game_clip_wait)
  target_compile_definitions(bench_game_clip_wait PRIVATE
    SONARA_BENCH_CLIP="${CMAKE_BINARY_DIR}/root/tecfal/som/LETRALUME/A.mp4")
endif()
