#include "uninstall_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app_state.h"
#include "errors.h"
#include "handles.h"

namespace {

const char kUninstallerResource[] = "Hoverlane_Uninst.exe";
const char kUninstallerType[] = "EXE";
const char kUninstallerFileName[] = "hoverlane_uninst.exe";

// The temporary folder as the system reports it (ending in a backslash) and
// the file name; empty when the folder cannot be had.
std::string UninstallerTempPath() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    // A folder that does not fit leaves the buffer undefined; a bare file
    // name would land in the current folder instead.
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(folder, length) + kUninstallerFileName;
}

}  // namespace

void LaunchUninstaller() {
    HRSRC found = FindResourceA(Instance, kUninstallerResource, kUninstallerType);
    const DWORD size = found ? SizeofResource(Instance, found) : 0;
    HGLOBAL loaded = found ? LoadResource(Instance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        ReportError(ErrorNoMemory, "cannot load resource into memory");
        return;
    }

    const std::string path = UninstallerTempPath();
    ScopedHandle file;
    if (!path.empty())
        file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
        ReportError(ErrorFileIo, "Cannot create temporal file, check if you have suficient hard disk space");
        return;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes, size, &written, nullptr) || written < size) {
        ReportError(ErrorFileIo, "Cannot write into file");
        return;
    }
    // Closed before it is started: the system runs no file open for writing.
    file.reset();

    // Nothing waits for the uninstaller; it closes this program's running
    // instances itself.
    ShellExecuteA(GetDesktopWindow(), "open", path.c_str(), InstallDirectory.c_str(), nullptr,
                  SW_SHOWNORMAL);
    MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
