# The phoneme-line engine's loaders and text stages over arbitrary bytes.
sonara_add_fuzz(fuzz_abbreviations SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tavena_abbreviations.cpp LIBS sonara_tavena)
sonara_add_fuzz(fuzz_prosody SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tavena_prosody.cpp LIBS sonara_tavena)
sonara_add_fuzz(fuzz_diphone_list SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tavena_diphone_list.cpp LIBS sonara_tavena)
sonara_add_fuzz(fuzz_normalise SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tavena_normalise.cpp LIBS sonara_tavena)
sonara_add_fuzz(fuzz_tavena_engine_speak
                SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tavena_engine_speak.cpp
                       ${CMAKE_SOURCE_DIR}/tests/tavena/support/FakeMbrola.cpp
                       ${CMAKE_SOURCE_DIR}/tests/tavena/support/TavenaTestData.cpp
                LIBS sonara_process sonara_tavena sonara_diphone sonara_console sonara_platform)
sonara_add_fuzz(fuzz_tavena_stress_position SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tavena_stress_position.cpp LIBS sonara_tavena)
