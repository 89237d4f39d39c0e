#include <windows.h>

#include "boundary.h"
#include "dll_search.h"
#include "exit_codes.h"
#include "platform.h"
#include "uninstaller.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    NoSystemErrorBoxes();
    // It runs with administrator rights, from the temporary folder.
    RestrictDllSearch();
    // Nothing of it is called by Windows but this: an exception ends here,
    // without a box (a silent run has nobody to answer one).
    return AtBoundary([&] { return UninstallMain(commandLine); }, [] { return kExitNoMemory; });
}
