#include "uninstall_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app_state.h"
#include "errors.h"
#include "handles.h"
#include "install_layout.h"

namespace {

const char kUninstallerResource[] = "Hoverlane_Uninst.exe";
const char kUninstallerType[] = "EXE";

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

// Windows 95, 98 and Me have no MoveFileExA that deletes at a restart (at
// most a stub): looked up, and there the copy simply stays in the temporary
// folder, to be replaced by the next one.
void DeleteAtRestart(const std::string& path) {
    using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto moveFileEx = reinterpret_cast<MoveFileExFunction>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "MoveFileExA") : nullptr));
    if (moveFileEx) moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

std::string LaunchFailureText(UINT_PTR shellResult, DWORD lastError) {
    if (shellResult > 32) return std::string();
    // The system's own words: a refused elevation reads "The operation was
    // canceled by the user." The shell's small result codes share their
    // numbers with the system's error codes.
    const DWORD code = lastError != ERROR_SUCCESS ? lastError : static_cast<DWORD>(shellResult);
    char text[MAX_PATH] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, MAX_PATH, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) text[--length] = '\0';
    std::string detail = "Cannot start the uninstaller";
    if (length > 0) detail += std::string(": ") + text;
    return detail;
}

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
    // instances itself. The shell, unlike CreateProcess, asks for the
    // administrator rights that the uninstaller's manifest requires.
    SetLastError(ERROR_SUCCESS);
    const UINT_PTR started = reinterpret_cast<UINT_PTR>(ShellExecuteA(
        GetDesktopWindow(), "open", path.c_str(), InstallDirectory.c_str(), nullptr, SW_SHOWNORMAL));
    const std::string failure = LaunchFailureText(started, GetLastError());
    if (!failure.empty()) {
        // Nothing runs the copy: it goes now rather than at the next restart.
        DeleteFileA(path.c_str());
        ReportError(ErrorFileIo, failure);
        return;
    }
    DeleteAtRestart(path);
}
