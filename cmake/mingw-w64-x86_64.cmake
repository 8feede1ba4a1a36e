# SPDX-License-Identifier: MIT
# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
# The posix flavour of the compiler brings std::thread and std::mutex; everything is linked
# statically so that the programs run under Wine without the MinGW runtime DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TIKKO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TIKKO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIKKO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TIKKO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TIKKO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs the test programs through Wine.
find_program(TIKKO_WINE wine)
if(TIKKO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TIKKO_WINE})
endif()
