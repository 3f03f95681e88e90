# The speech facade: Speak's piece cutting.
sonara_add_fuzz(fuzz_speech_pieces SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/speech_pieces.cpp
                LIBS sonara_speech sonara_platform)
