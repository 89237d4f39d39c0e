#include "uninstall_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "errors.h"
#include "handles.h"
#include "install_layout.h"
#include "resource.h"
#include "resource_bytes.h"

namespace {
const char kCannotCreate[] = "Cannot create temporal file, check if you have suficient hard disk space";

// Tries this many names before giving up on a folder of its own.
constexpr int kFolderAttempts = 64;

// A new, empty folder under the temporary folder, made by this call: the
// uninstaller runs with administrator rights, and nothing may lie beside it
// in advance (a DLL it would load), as could beside a fixed name there.
// Empty when none can be made.
std::string NewUninstallerFolder() {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    // A folder that does not fit leaves the buffer undefined; a bare name
    // would land in the current folder instead.
    if (length == 0 || length >= MAX_PATH) return std::string();
    DWORD seed = (GetCurrentProcessId() << 16) ^ GetTickCount();
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt, seed = seed * 1664525 + 1013904223) {
        char name[32];
        wsprintfA(name, "%s%08lX", kUninstallerFolderPrefix, static_cast<unsigned long>(seed));
        const std::string folder = std::string(temp, length) + name;
        if (folder.size() + 1 + sizeof(kUninstallerFileName) > MAX_PATH) return std::string();
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

// The copy and its folder, when nothing will run the copy.
void RemoveCopy(const std::string& folder, const std::string& path) {
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
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

void LaunchUninstaller(HINSTANCE instance, const std::string& installDirectory) {
    const ResourceBytes uninstaller =
        FindResourceBytes(instance, kUninstallerResource, kUninstallerResourceType);
    if (!uninstaller.bytes) ReportFatalError(ErrorNoMemory, "cannot load resource into memory");

    const std::string folder = NewUninstallerFolder();
    if (folder.empty()) ReportFatalError(ErrorFileIo, kCannotCreate);
    const std::string path = folder + "\\" + kUninstallerFileName;
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
        RemoveDirectoryA(folder.c_str());
        ReportFatalError(ErrorFileIo, kCannotCreate);
    }
    DWORD written = 0;
    const bool complete =
        WriteFile(file.get(), uninstaller.bytes, uninstaller.size, &written, nullptr) &&
        written == uninstaller.size;
    // Closed before it is started: the system runs no file open for writing.
    file.reset();
    if (!complete) {
        RemoveCopy(folder, path);
        ReportFatalError(ErrorFileIo, "Cannot write into file");
    }

    // Nothing waits for the uninstaller; it closes this program's running
    // instances itself, and has the copy and its folder deleted at the next
    // restart (which takes the rights it runs with). The shell, unlike
    // CreateProcess, asks for the administrator rights that the
    // uninstaller's manifest requires.
    SetLastError(ERROR_SUCCESS);
    const UINT_PTR started = reinterpret_cast<UINT_PTR>(ShellExecuteA(
        GetDesktopWindow(), "open", path.c_str(), installDirectory.c_str(), nullptr, SW_SHOWNORMAL));
    const std::string failure = LaunchFailureText(started, GetLastError());
    if (!failure.empty()) {
        RemoveCopy(folder, path);
        ReportFatalError(ErrorFileIo, failure);
    }
}
