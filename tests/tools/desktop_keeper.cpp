// Keeps Wine's desktop open for a whole test run. Wine closes a desktop about
// a second after its last program ends, and the next program starts a new
// desktop process that inherits that program's output: ctest then waits for
// that process too, a second or more for every test. Started before the
// tests, outside ctest's pipes; ends with the Wine server.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Any user32 call joins this process to the desktop.
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
