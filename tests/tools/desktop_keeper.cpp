// Keeps Wine's desktop open for a whole test run. Wine closes a desktop about
// a second after its last program ends, and the next program starts a new
// desktop process that inherits that program's output: ctest then waits for
// that process too, a second or more for every test, or for ever when the
// desktop lives on. Started before the tests, outside ctest's pipes; ends
// with the Wine server.
//
//   desktop_keeper [ready-file]
//
// Creates ready-file once the desktop exists, so that the script starts
// ctest only then: the first test program must not be the one that makes it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Any user32 call joins this process to the desktop; this one returns
    // once the desktop's window exists.
    GetDesktopWindow();
    if (commandLine && commandLine[0]) {
        HANDLE ready = CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    Sleep(INFINITE);
    return 0;
}
