# Key to answer on the real back end (needs an X display, xdotool and ffmpeg; run it
# through scripts/measure-key-answer.sh, which starts a private Xvfb).
if(TARGET sonara_game AND TARGET sonara_platform_linux
   AND EXISTS ${CMAKE_SOURCE_DIR}/platform/linux/LinuxBackend.h)
  find_package(X11)
  if(X11_FOUND)
    sonara_add_bench(bench_key_answer SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/key_answer.cpp
                     LIBS sonara_game sonara_process sonara_console sonara_speech
                          sonara_platform_linux sonara_platform ${X11_LIBRARIES})
    if(TARGET bench_key_answer)
      target_include_directories(bench_key_answer PRIVATE ${X11_INCLUDE_DIR})
    endif()
  endif()
endif()
