# One place for warnings and sanitizers: every target links quorin_options.
set(QUORIN_SANITIZE "" CACHE STRING "Sanitizer build: address (ASan+UBSan) or thread (TSan)")
set_property(CACHE QUORIN_SANITIZE PROPERTY STRINGS "" address thread)
option(QUORIN_WERROR "Treat warnings as errors" OFF)

add_library(quorin_options INTERFACE)
target_compile_options(quorin_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(QUORIN_WERROR)
  target_compile_options(quorin_options INTERFACE -Werror)
endif()

if(QUORIN_SANITIZE STREQUAL "address")
  target_compile_options(quorin_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(quorin_options INTERFACE -fsanitize=address,undefined)
elseif(QUORIN_SANITIZE STREQUAL "thread")
  target_compile_options(quorin_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(quorin_options INTERFACE -fsanitize=thread)
  # List the tests when ctest runs (under the test command's setarch -R), not at build
  # time, where a kernel with wide mmap randomisation can stop the TSan runtime.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
elseif(NOT QUORIN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "QUORIN_SANITIZE must be empty, address or thread")
endif()

if(QUORIN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORIN_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  target_compile_options(quorin_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(quorin_options INTERFACE -fsanitize=address,undefined)
endif()

# Release builds optimise across translation units: each presentation of a learning pass
# calls four operations that dispatch to the packed engine in another file.
option(QUORIN_LTO "Link-time optimisation in Release builds" ON)
if(QUORIN_LTO AND CMAKE_BUILD_TYPE STREQUAL "Release" AND QUORIN_SANITIZE STREQUAL ""
   AND NOT QUORIN_FUZZ)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT quorin_ipo LANGUAGES CXX)
  if(quorin_ipo)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    # After whole-program inlining GCC 12 reports string copies and fills whose sizes it
    # cannot bound (false positives); the same code is checked without LTO and under ASan.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_link_options(quorin_options INTERFACE -Wno-stringop-overflow -Wno-stringop-overread)
    endif()
  endif()
endif()
