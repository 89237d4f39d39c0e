#include "app_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return HoverlaneMain(instance, commandLine);
}
