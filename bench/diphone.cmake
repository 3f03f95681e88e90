# Diphone synthesis speed.
sonara_add_bench(bench_diphone SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/diphone.cpp LIBS sonara_diphone sonara_platform)
