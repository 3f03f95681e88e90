# The wave output: the WAV file chunk walk and the image chunk walk.
sonara_add_fuzz(fuzz_wave_output SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/wave_output.cpp
                LIBS sonara_process sonara_diphone sonara_speech sonara_console sonara_platform)
