# Cross toolchain for the Windows build (MinGW-w64, POSIX threads). The product
# is 32-bit (i686). On a machine that cannot run 32-bit code, and so not 32-bit
# Wine, the scripts build the same tree for x86_64 (PLATORA_WIN_ARCH) so that
# its tests still run, under 64-bit Wine.
if(NOT DEFINED PLATORA_WIN_ARCH)
  if(DEFINED ENV{PLATORA_WIN_ARCH} AND NOT "$ENV{PLATORA_WIN_ARCH}" STREQUAL "")
    set(PLATORA_WIN_ARCH "$ENV{PLATORA_WIN_ARCH}")
  else()
    set(PLATORA_WIN_ARCH i686)
  endif()
endif()
set(PLATORA_WIN_ARCH "${PLATORA_WIN_ARCH}" CACHE STRING "i686 (the product) or x86_64 (tests on 64-bit-only machines)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLATORA_WIN_ARCH)

set(_triple ${PLATORA_WIN_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${PLATORA_WIN_ARCH})
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
