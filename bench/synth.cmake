# Our synthesizer library's speed in times real time, beside espeak-ng on the same text.
find_path(SONARA_ESPEAK_INCLUDE espeak-ng/speak_lib.h)
find_library(SONARA_ESPEAK_LIB espeak-ng)
if(SONARA_ESPEAK_INCLUDE AND SONARA_ESPEAK_LIB)
  sonara_add_bench(bench_synth SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/synth.cpp
                   LIBS ${SONARA_ESPEAK_LIB} ${CMAKE_DL_LIBS})
  if(TARGET bench_synth)
    target_include_directories(bench_synth PRIVATE ${SONARA_ESPEAK_INCLUDE})
    target_compile_definitions(bench_synth PRIVATE
      SONARA_MBROLA_PATH="$<TARGET_FILE:sonara_mbrola>"
      SONARA_BR4_VOICE="${SONARA_DATA_ROOT}/tecfal/tavenatts/br4")
    add_dependencies(bench_synth sonara_mbrola)
  endif()
else()
  message(STATUS "espeak-ng's development files are missing: no synthesizer benchmark")
endif()
