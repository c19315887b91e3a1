# Cross-compiles plotwright for 64-bit Windows with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix). The program is linked statically, so that
# plotwright.exe runs alone, without the compiler's runtime DLLs beside it,
# and ctest runs the Windows programs under Wine (Debian: wine, wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex need it in GCC 12.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Libraries, headers and CMake packages come from the MinGW-w64 tree only,
# never from Linux's; programs (the build's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread linked in: only Windows' own DLLs are
# needed to run the programs. No time stamp in the program's header: the same
# sources link to the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
# A release program without its symbols: a third of the size to hand out.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Each Windows program a test runs goes through Wine, in a Wine folder of the
# build's own that the script makes on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
