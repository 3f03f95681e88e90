sonara_add_bench(bench_platform SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/platform_sim.cpp
                 LIBS sonara_platform)
