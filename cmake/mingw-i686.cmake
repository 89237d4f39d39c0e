# Cross-compile for 32-bit Windows with Debian's mingw-w64.
set(TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# ctest runs the test programs under Wine's 32-bit loader (package wine32),
# through a script that keeps them in the build tree's prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/ctest-wine.sh /usr/lib/wine/wine)
