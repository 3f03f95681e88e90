# Braille translation and the number words: pure text stages fed arbitrary bytes.
sonara_add_fuzz(fuzz_braille SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/braille.cpp LIBS sonara_console)
sonara_add_fuzz(fuzz_number_words SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/number_words.cpp
                LIBS sonara_speech)
target_sources(fuzz_number_words PRIVATE ${CMAKE_SOURCE_DIR}/tools/sonara/number_arg.cpp)
