# The speech facade: Speak's piece cutting.
sonara_add_fuzz(fuzz_speech_pieces SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/speech_pieces.cpp
                LIBS sonara_speech sonara_platform)
sonara_add_fuzz(fuzz_speak SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/speak.cpp
                LIBS sonara_process sonara_speech sonara_diphone sonara_console sonara_platform)
