#include "errors.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return Guarded([&] { return HoverlaneMain(instance, commandLine); });
}
