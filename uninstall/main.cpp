#include <windows.h>

#include "uninstaller.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    return UninstallMain(commandLine);
}
