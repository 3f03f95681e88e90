# The phoneme-line engine's text pipeline in characters per second.
sonara_add_bench(bench_tavena SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tavena.cpp LIBS sonara_tavena)
