#include "family.h"
#include "setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return SetupMain(instance, kAcceptedPlatformId);
}
