# Cross-compile for 64-bit Windows with Debian's mingw-w64.
set(TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# ctest runs the test programs under Wine's 64-bit loader, through a script
# that keeps them in the build tree's prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/ctest-wine.sh /usr/lib/wine/wine64)
