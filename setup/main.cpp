#include "boundary.h"
#include "dll_search.h"
#include "exit_codes.h"
#include "family.h"
#include "platform.h"
#include "setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    NoSystemErrorBoxes();
    // It runs with administrator rights, often from the Downloads folder.
    RestrictDllSearch();
    // What no dialog caught (a silent setup has none): no box, the code.
    return AtBoundary([&] { return SetupMain(instance, kAcceptedPlatformId, commandLine); },
                      [] { return kExitNoMemory; });
}
