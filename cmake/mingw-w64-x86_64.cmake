# Cross build for 64-bit Windows with MinGW-w64 (Debian's posix-thread
# compilers); the programs and tests run under wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# `make windows` does this, starts a wine server for the build and runs the
# tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVEN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVEN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVEN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages also where CMAKE_PREFIX_PATH points, such as an unpacked korven ZIP.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Statically linked, so korven.exe needs none of the compiler's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test discovery and CTest run the programs under wine; the caller sets
# WINEPREFIX and WINEDEBUG and keeps a wine server running (see `make windows`).
# A build without tests needs no wine, and does not look for it.
if(NOT KORVEN_LIBRARY_ONLY AND (NOT DEFINED KORVEN_BUILD_TESTS OR KORVEN_BUILD_TESTS))
  find_program(KORVEN_WINE wine)
  if(KORVEN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVEN_WINE})
  endif()
endif()
