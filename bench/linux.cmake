# The Linux back end's message queue: the cost of an empty poll, the wake-up latency of
# WaitMessage after a post from another thread, and the CPU used while blocked in it.
sonara_add_bench(bench_linux_queue SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/linux_queue_bench.cpp
  LIBS sonara_platform_linux sonara_platform)
