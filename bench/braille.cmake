# Braille translation throughput on a long Portuguese text.
sonara_add_bench(bench_braille SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/braille.cpp LIBS sonara_console)
