# Letter-to-sound throughput.
sonara_add_bench(bench_tradut SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tradut.cpp LIBS sonara_diphone)
