#include "shell_state.h"

HINSTANCE Instance = nullptr;
std::string InstallDirectory;
HWND SyncWindow = nullptr;
HWND MainWindow = nullptr;
UINT TaskbarCreatedMessage = 0;

void ResetShellState() {
    Instance = nullptr;
    InstallDirectory.clear();
    SyncWindow = nullptr;
    MainWindow = nullptr;
    TaskbarCreatedMessage = 0;
}
