#include "family.h"
#include "setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return SetupMain(instance, kAcceptedPlatformId, commandLine);
}
