# Settings shared by every folder of the tree.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(PLATORA_WIN32 ON)
else()
  set(PLATORA_WIN32 OFF)
endif()
option(PLATORA_SANITIZE "Build with AddressSanitizer and UBSan (native tree)" OFF)
option(PLATORA_FUZZ "Build libFuzzer targets (clang only)" OFF)
# On in every tree but the release's: sockets stay on loopback (udp.h).
option(LEDAPI_LOOPBACK_ONLY "Keep every socket on 127.0.0.0/8 (off only for the release)" ON)
if(LEDAPI_LOOPBACK_ONLY)
  add_compile_definitions(LEDAPI_LOOPBACK_ONLY=1)
else()
  add_compile_definitions(LEDAPI_LOOPBACK_ONLY=0)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(PLATORA_WIN32)
  add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
  # One self-contained exe/dll: no MinGW runtime DLLs next to it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # zlib linked in too: Wine brings a zlib1.dll of its own, Windows does not.
  # A tree that found the DLL's import library before looks again.
  set(ZLIB_USE_STATIC_LIBS ON)
  if(ZLIB_LIBRARY_RELEASE MATCHES "\\.dll\\.a$")
    unset(ZLIB_LIBRARY_RELEASE CACHE)
    unset(ZLIB_LIBRARY CACHE)
  endif()
elseif(PLATORA_SANITIZE)
  if(PLATORA_FUZZ)
    # Coverage for the libraries too, or the fuzzers only see their own file.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# GoogleTest from the Debian source package, built for whichever tree this is.
if(BUILD_TESTING AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  include(GoogleTest)
endif()

# platora_test(NAME SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# A GoogleTest executable whose cases become CTest tests. In the win32 tree
# they run under Wine through the cross-compiling emulator; discovery happens
# at test time so that the build never starts Wine.
function(platora_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT BUILD_TESTING)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # Tests with windows share one desktop: the pointer, the focus and the
  # foreground window. Two at once move each other's pointer and steal each
  # other's activation, so they take turns.
  set(lock "")
  if("win" IN_LIST T_LABELS)
    set(lock RESOURCE_LOCK desktop)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}" ${lock}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# platora_fuzzer(NAME SOURCE LIBS ... CORPUS dir)
# With PLATORA_FUZZ (clang tree) a libFuzzer binary. In the ordinary native
# tree the same entry point is built with a small driver that replays the seed
# corpus under the sanitizers, so every test run exercises the fuzz targets.
function(platora_fuzzer name)
  cmake_parse_arguments(F "" "SOURCE;CORPUS" "LIBS" ${ARGN})
  if(PLATORA_WIN32)
    return()
  endif()
  if(PLATORA_FUZZ)
    add_executable(${name} ${F_SOURCE})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
  elseif(BUILD_TESTING)
    add_executable(${name}_replay ${F_SOURCE} ${PROJECT_SOURCE_DIR}/tools/fuzz_replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${F_CORPUS})
  endif()
endfunction()

# platora_module(NAME [CORE_LIBS ...] [WIN_LIBS ...] [TEST_LIBS ...])
# The folder convention: core/*.cpp is portable (both trees, no <windows.h>),
# win/*.cpp is the Win32 shell (win32 tree only). Tests: tests/core/*.cpp run
# in both trees, tests/win/*.cpp only in the win32 tree (under Wine).
# Libraries: NAME_core and, in the win32 tree, NAME_win (which links NAME_core).
function(platora_module name)
  cmake_parse_arguments(M "" "" "CORE_LIBS;WIN_LIBS;TEST_LIBS;WIN_TEST_LIBS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB core_src CONFIGURE_DEPENDS ${dir}/core/*.cpp)
  if(core_src)
    add_library(${name}_core STATIC ${core_src})
    target_include_directories(${name}_core PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_core PUBLIC ${M_CORE_LIBS})
    set(core_target ${name}_core)
  else()
    add_library(${name}_core INTERFACE)
    target_include_directories(${name}_core INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_core INTERFACE ${M_CORE_LIBS})
  endif()
  file(GLOB core_tests CONFIGURE_DEPENDS ${dir}/tests/core/*.cpp)
  if(core_tests)
    platora_test(${name}_core_tests SOURCES ${core_tests} LIBS ${name}_core ${M_TEST_LIBS})
    if(TARGET ${name}_core_tests)
      target_compile_definitions(${name}_core_tests PRIVATE TEST_DATA_DIR="${dir}/tests/data")
    endif()
  endif()
  if(PLATORA_WIN32)
    file(GLOB win_src CONFIGURE_DEPENDS ${dir}/win/*.cpp)
    if(win_src)
      add_library(${name}_win STATIC ${win_src})
      target_link_libraries(${name}_win PUBLIC ${name}_core ${M_WIN_LIBS})
    else()
      add_library(${name}_win INTERFACE)
      target_link_libraries(${name}_win INTERFACE ${name}_core ${M_WIN_LIBS})
    endif()
    file(GLOB win_tests CONFIGURE_DEPENDS ${dir}/tests/win/*.cpp)
    if(win_tests)
      platora_test(${name}_win_tests SOURCES ${win_tests} LIBS ${name}_win ${M_TEST_LIBS} ${M_WIN_TEST_LIBS} LABELS win)
      if(TARGET ${name}_win_tests)
        target_compile_definitions(${name}_win_tests PRIVATE TEST_DATA_DIR="${dir}/tests/data")
      endif()
    endif()
  endif()
endfunction()

# Google Benchmark: Debian's library natively, its source package (fetched by
# the scripts into build/third_party) compiled for the Windows tree.
if(NOT PLATORA_FUZZ AND NOT TARGET benchmark::benchmark)
  if(PLATORA_WIN32)
    set(PLATORA_BENCHMARK_SRC ${PROJECT_SOURCE_DIR}/build/third_party/benchmark-1.7.1)
    if(EXISTS ${PLATORA_BENCHMARK_SRC}/CMakeLists.txt)
      set(BENCHMARK_ENABLE_TESTING OFF CACHE BOOL "" FORCE)
      set(BENCHMARK_ENABLE_GTEST_TESTS OFF CACHE BOOL "" FORCE)
      set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
      set(BENCHMARK_ENABLE_WERROR OFF CACHE BOOL "" FORCE)
      set(BENCHMARK_ENABLE_LIBPFM OFF CACHE BOOL "" FORCE)
      # The library is built as its authors expect: without our UNICODE.
      get_directory_property(platora_defs COMPILE_DEFINITIONS)
      set_directory_properties(PROPERTIES COMPILE_DEFINITIONS "")
      add_subdirectory(${PLATORA_BENCHMARK_SRC} ${CMAKE_BINARY_DIR}/benchmark EXCLUDE_FROM_ALL SYSTEM)
      set_directory_properties(PROPERTIES COMPILE_DEFINITIONS "${platora_defs}")
    endif()
  else()
    find_package(benchmark QUIET)
  endif()
endif()

# platora_benchmark(NAME SOURCES ... LIBS ...): built when Google Benchmark is
# available for this tree; run by scripts/bench.sh, not by the tests.
function(platora_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
