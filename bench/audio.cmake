# The Linux sound and clip back end: how soon a reset falls silent, how long a clip takes
# to open.
if(TARGET sonara_platform_linux)
  sonara_add_bench(bench_audio_reset SOURCES audio_reset.cpp LIBS sonara_platform_linux)
  sonara_add_bench(bench_clip_open SOURCES clip_open.cpp LIBS sonara_platform_linux)
endif()
