# Shared build settings and helpers for every folder.

add_compile_options(-Wall -Wextra)
if(SONARA_WERROR)
  add_compile_options(-Werror)
endif()

if(SONARA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer: the test script builds only the Linux back end's tests with it (the
# back end is where the threads are: SDL audio, the notifier, one per clip).
if(SONARA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# sonara_add_test(NAME SOURCES a.cpp b.cpp LIBS sonara_console ...)
# One GoogleTest executable; every TEST becomes a CTest case.
function(sonara_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set(labels unit)
  if(T_LABELS)
    set(labels ${T_LABELS})
  endif()
  # Tests of the real back end share one X display, its focus and its keyboard: they
  # take turns, or one test's keys land in another's window.
  set(lock)
  if("linux" IN_LIST labels)
    set(lock RESOURCE_LOCK x-display)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}" ${lock})
endfunction()

# sonara_add_fuzz(NAME SOURCE fuzz_x.cpp LIBS ...)
# With SONARA_FUZZ (clang) the target is a real libFuzzer binary and CTest runs it for a
# bounded number of inputs. Otherwise a small driver replays the seed corpus plus a fixed
# set of pseudo-random inputs, so every build exercises the parser on garbage.
function(sonara_add_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCE;LIBS;CORPUS" ${ARGN})
  add_executable(${name} ${F_SOURCE})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(SONARA_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
    file(MAKE_DIRECTORY ${work})
    set(args -runs=30000 -max_len=4096 -seed=1 -rss_limit_mb=2048 ${work})
    if(EXISTS ${corpus})
      list(APPEND args ${corpus})
    endif()
    add_test(NAME fuzz.${name} COMMAND ${name} ${args})
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME fuzz.${name} COMMAND ${name} ${corpus})
  endif()
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()

# sonara_add_bench(NAME SOURCES ... LIBS ...): Google Benchmark, never a test.
function(sonara_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT SONARA_BENCH)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# Folders whose pieces are added by several subsystems include every fragment they hold.
macro(sonara_include_fragments)
  file(GLOB _fragments CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  list(SORT _fragments)
  foreach(_f ${_fragments})
    include(${_f})
  endforeach()
endmacro()

# The bundled data root (drive c:) and the letter game's generated media pack in it.
set(SONARA_DATA_ROOT ${CMAKE_BINARY_DIR}/root)
set(SONARA_GAME_SOUND_DIR ${SONARA_DATA_ROOT}/tecfal/som/LETRALUME)
set(SONARA_MEDIA_LENGTHS ${CMAKE_BINARY_DIR}/media-lengths.txt)

# sonara_media_definitions(TARGET): where a test finds the media pack and its sources.
function(sonara_media_definitions target)
  if(SONARA_MEDIA)
    set(on 1)
  else()
    set(on 0)
  endif()
  target_compile_definitions(${target} PRIVATE
    SONARA_MEDIA_ON=${on}
    SONARA_MEDIA_DIR="${SONARA_GAME_SOUND_DIR}"
    SONARA_MEDIA_LENGTHS="${SONARA_MEDIA_LENGTHS}"
    SONARA_NARRATION_DIR="${CMAKE_SOURCE_DIR}/data/narration")
endfunction()
