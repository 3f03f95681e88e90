# Diphone synthesizer: the index loader with FetchDiphone, the phoneme-string reader, the
# character recordings' chunk walk.
sonara_add_fuzz(fuzz_diphone_index SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/diphone_index.cpp LIBS sonara_diphone sonara_platform)
sonara_add_fuzz(fuzz_diphone_plan SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/diphone_plan.cpp LIBS sonara_diphone)
sonara_add_fuzz(fuzz_diphone_letter_wave SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/diphone_letter_wave.cpp LIBS sonara_diphone)
