#include "errors.h"
#include "platform.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    NoSystemErrorBoxes();
    return Guarded([&] { return HoverlaneMain(instance, commandLine); });
}
