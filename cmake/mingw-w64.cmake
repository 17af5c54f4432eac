# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Used to build the Qt toolchain (tools/build-qt-mingw.sh) and, chain-loaded by
# its qt-cmake, the console itself (tools/build-windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DSC_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${DSC_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DSC_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DSC_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DSC_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run on Windows, or under Wine on this machine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
