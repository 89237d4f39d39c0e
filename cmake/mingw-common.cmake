# Shared part of the mingw-w64 toolchain files: set TRIPLET and
# CMAKE_SYSTEM_PROCESSOR, then include this. Debian's -win32 compilers: the
# POSIX threading runtime of the -posix ones imports functions that the
# oldest Windows the programs are for lacks (GetTickCount64 and others),
# even into a program that starts no thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
