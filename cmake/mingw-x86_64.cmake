# Cross-compile for 64-bit Windows with Debian's mingw-w64.
set(TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Lets ctest run the test programs under Wine by itself.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
