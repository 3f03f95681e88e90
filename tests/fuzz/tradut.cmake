# Letter-to-sound rule and exception loaders, and the text stage over them.
sonara_add_fuzz(fuzz_rules SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tradut_rules.cpp LIBS sonara_diphone)
sonara_add_fuzz(fuzz_exceptions SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tradut_exceptions.cpp LIBS sonara_diphone)
sonara_add_fuzz(fuzz_text_to_phonemes SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tradut_text_to_phonemes.cpp LIBS sonara_diphone)
sonara_add_fuzz(fuzz_tavena_loaders SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tradut_tavena_loaders.cpp LIBS sonara_diphone)
