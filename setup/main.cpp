#include "dll_search.h"
#include "family.h"
#include "setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // It runs with administrator rights, often from the Downloads folder.
    RestrictDllSearch();
    return SetupMain(instance, kAcceptedPlatformId, commandLine);
}
