#include <windows.h>

#include "dll_search.h"
#include "uninstaller.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // It runs with administrator rights, from the temporary folder.
    RestrictDllSearch();
    return UninstallMain(commandLine);
}
