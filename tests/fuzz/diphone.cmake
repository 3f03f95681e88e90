# Diphone synthesizer: the index loader with the fetch arithmetic, the phoneme-string reader.
sonara_add_fuzz(fuzz_diphone_index SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/diphone_index.cpp LIBS sonara_diphone)
sonara_add_fuzz(fuzz_diphone_plan SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/diphone_plan.cpp LIBS sonara_diphone)
