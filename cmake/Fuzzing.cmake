# libFuzzer targets (fuzz/): clang only. Everything is built with the fuzzer's coverage instrumentation so that
# the fuzzers see into the libraries; the test programs of the same build run as usual.
option(CYCLOCHORD_FUZZ "Build the fuzz targets as libFuzzer programs (clang)" OFF)
if(CYCLOCHORD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CYCLOCHORD_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
