# Cross-build for 64-bit Windows with mingw-w64 (posix threads variant): the
# same sources as the 32-bit program, for machines that cannot run 32-bit
# code. Programs built with it run under 64-bit Wine, through the wrapper that
# calls the 64-bit loader whether or not the 32-bit one is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
get_filename_component(PARVANE_WINE64 "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64/wine" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PARVANE_WINE64})
