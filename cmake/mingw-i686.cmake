# Cross-compile for 32-bit Windows with Debian's mingw-w64. 32-bit programs
# cannot run on these machines, so there is no emulator.
set(TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
